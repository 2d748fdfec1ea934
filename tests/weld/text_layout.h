// The standard 200 characters of Japanese text set in IPAGothic, glyph cells 10000 units high,
// placed so that neighbouring letters overlap: the workload of the weld's text checks.
#ifndef OUTLINA_TESTS_WELD_TEXT_LAYOUT_H
#define OUTLINA_TESTS_WELD_TEXT_LAYOUT_H

#include <iconv.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "outlina.h"

namespace text_layout {

// Advance and line pitch below the 10000-unit cell, so letters overlap their neighbours.
constexpr float kAdvance = 7000.0f;
constexpr float kLinePitch = 8000.0f;
constexpr int kPerLine = 20;

// The text's characters as Shift-JIS codes, read from the shared data folder.
inline std::string shiftJisText(const std::string &file) {
  std::ifstream in(file, std::ios::binary);
  std::string utf8((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string out(utf8.size() * 2 + 16, '\0');
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  char *src = utf8.data(), *dst = out.data();
  size_t srcLeft = utf8.size(), dstLeft = out.size();
  iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  out.resize(out.size() - dstLeft);
  return out;
}

// Appends every glyph of the text to path, placed in rows; the number of glyphs set.
inline int setText(JVect *path, const std::string &file) {
  const std::string text = shiftJisText(file);
  JFont *font = jFontInit();
  JFontEntry templ{};
  templ.charset = JFCS_ANSI | JFCS_SHIFTJIS;
  jFontRegistTTF(font, templ);
  JFontHandle *handle = jFontOpen(font, "IPAGothic", 0);
  JVect *glyph = jVectOpen(16);
  int placed = 0;
  for (size_t i = 0; handle != nullptr && i < text.size(); ++i) {
    const uint8_t lead = static_cast<uint8_t>(text[i]);
    if (lead == '\n' || lead == '\r') continue;
    uint32_t code = lead;
    if ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC))
      code = code << 8 | static_cast<uint8_t>(text[++i]);
    jVectClear(glyph);
    JFontGlyphInfo info{};
    JFontGlyphMetrics metrics{};
    if (jFontGlyphVect(handle, code, 0, &info, &metrics, glyph) < 0) continue;
    const float dx = (placed % kPerLine) * kAdvance, dy = -(placed / kPerLine) * kLinePitch;
    for (int32_t k = 0; k < jVectGetNum(glyph); ++k) jVectMovePoint(glyph, k, dx, dy);
    jVectAdd(path, glyph);
    ++placed;
  }
  jVectClose(glyph);
  jFontClose(handle);
  jFontEnd(font);
  return placed;
}

}  // namespace text_layout

#endif
