// Glyphs of an installed font, read through the public font API in both writing directions.
#include <cmath>

#include "fontpack.h"

namespace fontpack {
namespace {

// Every character-set class, so that any installed family can be packed.
constexpr uint32_t kAllCharsets = JFCS_ANSI | JFCS_SYMBOL | JFCS_SHIFTJIS | JFCS_GB2312 |
                                  JFCS_BIG5 | JFCS_HANGUL | JFCS_OTHER;
constexpr uint32_t kSingleByteEnd = 0x100;
constexpr int32_t kPathCapacity = 256;
constexpr int32_t kCells = 94;

// A code worth asking for: any single byte, or a pair that converts to a ku-ten cell.
bool packable(uint32_t code) {
  int32_t ku = 0;
  int32_t ten = 0;
  jFontSJISToKuTen(code, &ku, &ten);
  if (ku == 0) return code < kSingleByteEnd;
  return ku >= 1 && ten >= 1 && ten <= kCells;
}

bool readOutline(JFontHandle *handle, uint32_t code, int32_t direction, JVect *path,
                 Outline *out) {
  jVectClear(path);
  JFontGlyphMetrics metrics{};
  if (jFontGlyphVect(handle, code, direction, &out->info, &metrics, path) < 0) return false;
  out->present = true;
  out->advance = metrics.advance;
  out->margin = metrics.margin;
  const JVectPoint *points = jVectGetVd(path);
  for (int32_t i = 0; i < jVectGetNum(path); ++i) {
    out->points.push_back({points[i].mode, static_cast<int32_t>(std::lround(points[i].x)),
                           static_cast<int32_t>(std::lround(points[i].y))});
  }
  return true;
}

}  // namespace

bool collectGlyphs(const char *face, uint32_t first, uint32_t last, std::vector<Glyph> *out) {
  JFont *registry = jFontInit();
  if (registry == nullptr) return false;
  JFontEntry templ{};
  templ.charset = kAllCharsets;
  jFontRegistTTF(registry, templ);
  JFontHandle *handles[2] = {jFontOpen(registry, face, 0), jFontOpen(registry, face, 1)};
  JVect *path = jVectOpen(kPathCapacity);
  const bool opened = handles[0] != nullptr && handles[1] != nullptr && path != nullptr;
  for (uint32_t code = first; opened && code <= last; ++code) {
    if (!packable(code)) continue;
    Glyph glyph;
    glyph.code = code;
    bool any = false;
    for (int32_t d = 0; d < 2; ++d) {
      any |= readOutline(handles[d], code, d, path, &glyph.outline[d]);
    }
    if (any) out->push_back(glyph);
  }
  jVectClose(path);
  jFontClose(handles[0]);
  jFontClose(handles[1]);
  jFontEnd(registry);
  return opened;
}

}  // namespace fontpack
