// Writing FreeType outlines in the native glyph-outline format: polygon headers, line and
// quadratic B-spline records of 16.16 points.
#ifndef OUTLINA_FONT_NATIVE_WRITER_H
#define OUTLINA_FONT_NATIVE_WRITER_H

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>

#include "geom/pt.h"

namespace outlina {

// An affine map of font units (u, v) to native units: x = ux u + vx v + ox,
// y = uy u + vy v + oy.
struct FontAffine {
  double ux, vx, ox, uy, vy, oy;
};

// The growing jMemAlloc block a writer works in; the outline lands in buffer[0, used).
struct NativeScratch {
  uint8_t *buffer;
  uint32_t used, capacity;
};

// Writes the mapped outline: a polygon per contour of three or more points, cubic curves as
// quadratic pieces within half a unit, and contours reversed when the outline runs the other
// way (REVERSE_FILL) so that outer contours run clockwise with y up. False when memory runs out
// or a coordinate does not fit a 16.16 number.
bool fontWriteNativeOutline(const FT_Outline &outline, const FontAffine &map,
                            NativeScratch &scratch);
// Releases the block and empties the scratch.
void fontReleaseNativeScratch(NativeScratch &scratch);

}  // namespace outlina

#endif
