// jFontGlyphVect: the dispatch to the reader of a font's kind, the defaults every reader starts
// from, and the installed-font reader that parses the native outline buffer.
#include <cstdlib>
#include <cstring>

#include "font/native_outline.h"
#include "font/readers.h"
#include "plinth.h"

namespace outlina {
namespace {

// The date of a glyph whose font stores none.
constexpr char kNoDate[] = "0000/00/00";
static_assert(sizeof kNoDate - 1 == sizeof JFontGlyphInfo{}.date);
// A glyph refused at full size is asked for at half size and its coordinates doubled.
constexpr int32_t kRetryScale = 2;

const FontOutlineService *activeService = nullptr;

const FontOutlineService &outlineService() {
  return activeService != nullptr ? *activeService : *fontInstalledOutlineService();
}

// The matrix of a direction at 1 / scale: identity for horizontal writing, a quarter turn
// clockwise ((x, y) becomes (y, -x)) otherwise.
FontMat2 directionMatrix(int32_t direction, int32_t scale) {
  const auto unit = static_cast<int32_t>(kFixedOne / scale);
  if (direction == 0) return {unit, 0, 0, unit};
  return {0, -unit, unit, 0};
}

int32_t readFixed(const uint8_t *at) {
  int32_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

uint32_t readU32(const uint8_t *at) {
  uint32_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

uint16_t readU16(const uint8_t *at) {
  uint16_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

// Turns native points into cell coordinates: the integer part of each 16.16 number (rounded
// down), times the scale, then shifted so the cell bottom lies at y = 0.
struct PointMap {
  int32_t scale, shiftX, shiftY;

  // Horizontal writing lifts by the descent; any other direction shifts x by the descent, and
  // vertical writing y by the advance.
  PointMap(int32_t scale, int32_t descent, int32_t advance, int32_t direction)
      : scale(scale),
        shiftX(direction == 0 ? 0 : descent),
        shiftY(direction == 0 ? descent : direction == 1 ? advance : 0) {}

  void operator()(const uint8_t *at, int32_t *x, int32_t *y) const {
    *x = (readFixed(at) >> 16) * scale + shiftX;
    *y = (readFixed(at + 4) >> 16) * scale + shiftY;
  }
};

// One polygon: its start, its records up to the polygon's byte count, and a closing point
// when the last point is not the start.
void parsePolygon(const uint8_t *polygon, uint32_t bytes, const PointMap &pointMap,
                  JVect *path) {
  const PointMap map = pointMap;  // a local copy: the point stores could alias the original
  PathAppender out(path);
  auto add = [&out](int16_t mode, int32_t x, int32_t y) {
    out.add(mode, static_cast<float>(x), static_cast<float>(y));
  };
  int32_t startX, startY;
  map(polygon + 8, &startX, &startY);
  add(JVM_START, startX, startY);
  int32_t lastX = startX, lastY = startY;
  uint32_t offset = kPolygonHeaderBytes;
  while (offset + kCurveHeaderBytes <= bytes) {
    const uint16_t type = readU16(polygon + offset);
    const uint16_t count = readU16(polygon + offset + 2);
    const uint32_t recordBytes = kCurveHeaderBytes + kPointBytes * count;
    if (offset + recordBytes > bytes) break;
    const uint8_t *points = polygon + offset + kCurveHeaderBytes;
    int32_t x, y;
    if (type != kCurveQSpline) {
      for (int32_t k = 0; k < count; ++k) {
        map(points + kPointBytes * k, &x, &y);
        add(JVM_LINE, x, y);
        lastX = x, lastY = y;
      }
    } else if (count > 0) {
      for (int32_t k = 0; k + 1 < count; ++k) {
        map(points + kPointBytes * k, &x, &y);
        // The on-curve point the format leaves implied between two control points, made
        // explicit; integer division truncates toward zero.
        if (k > 0) add(JVM_QUAD_END, (lastX + x) / 2, (lastY + y) / 2);
        add(JVM_QUAD_CTRL, x, y);
        lastX = x, lastY = y;
      }
      map(points + kPointBytes * (count - 1), &x, &y);
      add(JVM_QUAD_END, x, y);
      lastX = x, lastY = y;
    }
    offset += recordBytes;
  }
  if (lastX != startX || lastY != startY) add(JVM_LINE, startX, startY);
}

}  // namespace

void fontSetOutlineService(const FontOutlineService *service) { activeService = service; }

void fontGlyphDefaults(uint32_t code, int32_t direction, JFontGlyphInfo *info,
                       JFontGlyphMetrics *metrics) {
  int32_t ku = 0, ten = 0;
  jFontSJISToKuTen(code, &ku, &ten);
  info->ku = static_cast<uint8_t>(ku);
  info->ten = static_cast<uint8_t>(ten);
  info->direction = static_cast<uint8_t>(direction);
  info->flag = 1;
  std::memcpy(info->date, kNoDate, sizeof info->date);
  *metrics = {0, 0, JFONT_EM, 0};
}

int32_t fontReadInstalledGlyph(JFontHandle *handle, uint32_t code, int32_t direction,
                               JFontGlyphInfo *info, JFontGlyphMetrics *metrics, JVect *path,
                               int32_t em) {
  fontGlyphDefaults(code, direction, info, metrics);
  const FontOutlineService &service = outlineService();
  const int32_t descent = service.descent(handle);
  int32_t scale = 1;
  FontMat2 matrix = directionMatrix(direction, scale);
  FontGlyphCell cell{};
  int32_t size = service.outline(handle, code, matrix, &cell, 0, nullptr);
  if (size < 0) {
    scale = kRetryScale;
    matrix = directionMatrix(direction, scale);
    size = service.outline(handle, code, matrix, &cell, 0, nullptr);
    if (size < 0) return 0;
  }
  uint8_t *buffer = nullptr;
  if (size > 0) {
    buffer = static_cast<uint8_t *>(jMemAlloc(static_cast<uint32_t>(size)));
    if (buffer == nullptr) return 0;
  }
  if (service.outline(handle, code, matrix, &cell, static_cast<uint32_t>(size), buffer) < 0) {
    jMemFree(buffer);
    return 0;
  }
  const int32_t increment = std::abs(direction == 1 ? cell.incY : cell.incX) * scale;
  metrics->advance = static_cast<int16_t>(increment);
  if (metrics->advance == 0) metrics->advance = static_cast<int16_t>(em);
  metrics->margin = static_cast<int16_t>((em - metrics->advance) / 2);

  const PointMap map(scale, descent, metrics->advance, direction);
  uint32_t offset = 0;
  const auto total = static_cast<uint32_t>(size);
  while (offset + kPolygonHeaderBytes <= total) {
    const uint32_t bytes = readU32(buffer + offset);
    if (bytes < kPolygonHeaderBytes || bytes > total - offset) break;
    parsePolygon(buffer + offset, bytes, map, path);
    offset += bytes;
  }
  jMemFree(buffer);
  return 1;
}

}  // namespace outlina

extern "C" int32_t jFontGlyphVect(JFontHandle *handle, uint32_t code, int32_t direction,
                                  JFontGlyphInfo *info, JFontGlyphMetrics *metrics, JVect *path) {
  if (handle == nullptr || info == nullptr || metrics == nullptr || path == nullptr) return -1;
  const int32_t before = path->count;
  int32_t read;
  switch (handle->entry.kind) {
    case JFK_TTF:
      read =
          outlina::fontReadInstalledGlyph(handle, code, direction, info, metrics, path, JFONT_EM);
      break;
    case JFK_KUTEN_FILE:
      read = outlina::fontReadKuTenGlyph(handle, code, direction, info, metrics, path, JFONT_EM);
      break;
    case JFK_INDX_FILE:
      read = outlina::fontReadIndxGlyph(handle, code, direction, info, metrics, path, JFONT_EM);
      break;
    default:
      return 0;
  }
  if (read == 0) return -1;
  return path->count - before;
}
