// jFontGlyphVect: the dispatch to the reader of a font's kind, the defaults every reader starts
// from, and the installed-font reader that parses the native outline buffer.
#include <cstdlib>
#include <cstring>

#include "font/native_outline.h"
#include "font/readers.h"

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

// A point in whole cell units.
struct Cell {
  int32_t x, y;
};

bool operator!=(Cell a, Cell b) { return a.x != b.x || a.y != b.y; }

// Turns native points into cell coordinates: the integer part of each 16.16 number (rounded
// down), times the scale, then shifted so the cell bottom lies at y = 0.
struct PointMap {
  int32_t scale;
  Cell shift;

  // Horizontal writing lifts by the descent; any other direction shifts x by the descent, and
  // vertical writing y by the advance.
  PointMap(int32_t scale, int32_t descent, int32_t advance, int32_t direction)
      : scale(scale), shift{descent, direction == 1 ? advance : 0} {
    if (direction == 0) shift = {0, descent};
  }

  Cell operator()(const uint8_t *at) const {
    return {(readFixed(at) >> 16) * scale + shift.x, (readFixed(at + 4) >> 16) * scale + shift.y};
  }
};

// The on-curve point the native format leaves implied between two control points, made
// explicit; integer division truncates toward zero.
Cell midpoint(Cell a, Cell b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

void add(PathAppender &out, int16_t mode, Cell p) {
  out.add(mode, static_cast<float>(p.x), static_cast<float>(p.y));
}

// One polygon of the given byte count: its start, its records up to the byte count, and a
// closing point when the last point is not the start.
void parsePolygon(const uint8_t *polygon, uint32_t bytes, const PointMap &pointMap, JVect *path) {
  const PointMap map = pointMap;  // a local copy: the point stores could alias the original
  PathAppender out(path);
  const Cell start = map(polygon + 8);
  add(out, JVM_START, start);
  Cell last = start;
  const uint8_t *record = polygon + kPolygonHeaderBytes;
  const uint8_t *const end = polygon + bytes;
  while (end - record >= kCurveHeaderBytes) {
    const uint16_t type = readU16(record);
    const uint16_t count = readU16(record + 2);
    const uint8_t *point = record + kCurveHeaderBytes;
    if (end - point < int64_t{kPointBytes} * count) break;
    record = point + kPointBytes * count;
    if (type != kCurveQSpline) {
      for (; point != record; point += kPointBytes) add(out, JVM_LINE, last = map(point));
    } else if (count > 0) {
      add(out, count > 1 ? JVM_QUAD_CTRL : JVM_QUAD_END, last = map(point));
      for (point += kPointBytes; point != record; point += kPointBytes) {
        const Cell p = map(point);
        const bool final = point + kPointBytes == record;
        if (!final) add(out, JVM_QUAD_END, midpoint(last, p));
        add(out, final ? JVM_QUAD_END : JVM_QUAD_CTRL, p);
        last = p;
      }
    }
  }
  if (last != start) add(out, JVM_LINE, start);
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
  const uint8_t *buffer = nullptr;
  int32_t size = service.outline(handle, code, matrix, &cell, &buffer);
  if (size < 0) {
    scale = kRetryScale;
    matrix = directionMatrix(direction, scale);
    size = service.outline(handle, code, matrix, &cell, &buffer);
    if (size < 0) return 0;
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
