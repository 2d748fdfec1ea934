// The native glyph-outline buffer (polygon headers followed by line and quadratic B-spline
// records of 16.16 fixed-point points) and the service that produces it for installed fonts.
#ifndef OUTLINA_FONT_NATIVE_OUTLINE_H
#define OUTLINA_FONT_NATIVE_OUTLINE_H

#include <cstdint>

#include "outlina/font.h"

namespace outlina {

// Polygon header: byte count (u32), type (u32), start point (two 16.16 numbers).
constexpr uint32_t kPolygonHeaderBytes = 16;
constexpr uint32_t kPolygonType = 24;
// Curve record: type (u16), point count (u16), then the points.
constexpr uint32_t kCurveHeaderBytes = 4;
constexpr uint32_t kPointBytes = 8;
constexpr uint16_t kCurveLine = 1;
constexpr uint16_t kCurveQSpline = 2;

// One in 16.16 fixed point.
constexpr double kFixedOne = 65536.0;

// A 2x2 transformation of 16.16 numbers: x' = m11 x + m21 y, y' = m12 x + m22 y.
struct FontMat2 {
  int32_t m11, m12, m21, m22;
};

// The advance of a glyph after the transformation, in whole cell units.
struct FontGlyphCell {
  int32_t incX, incY;
};

// The glyph-outline service under the installed-font reader.
struct FontOutlineService {
  // The descent of the handle's font in cell units (0 when the handle has no face).
  int32_t (*descent)(JFontHandle *handle);
  // The byte size of code's native outline under matrix (0 for a blank glyph), -1 when the
  // glyph is refused. Otherwise cell holds the glyph's cell increments and outline the
  // outline's bytes, which the service keeps until its next call on the handle.
  int32_t (*outline)(JFontHandle *handle, uint32_t code, const FontMat2 &matrix,
                     FontGlyphCell *cell, const uint8_t **outline);
};

// The FreeType-backed service of installed fonts.
const FontOutlineService *fontInstalledOutlineService();
// Replaces the service the installed-font reader uses (tests); null restores the installed one.
void fontSetOutlineService(const FontOutlineService *service);

}  // namespace outlina

#endif
