// The standard text workload of the tests and benchmarks: the 200 characters of Japanese text
// of tests/data/text-200.txt set in IPAGothic, one line after another, as a host would set them.
#ifndef OUTLINA_TESTS_SUPPORT_TEXT_WORKLOAD_H
#define OUTLINA_TESTS_SUPPORT_TEXT_WORKLOAD_H

#include <iconv.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "outlina.h"

namespace testing_support {

// Shift-JIS codes of the file's characters, line feeds left out.
inline std::vector<unsigned> shiftJisCodes(const std::string &file) {
  std::stringstream text;
  text << std::ifstream(file, std::ios::binary).rdbuf();
  std::string utf8 = text.str(), sjis(utf8.size() * 2, '\0');
  iconv_t cd = iconv_open("CP932", "UTF-8");
  char *inp = utf8.data(), *outp = sjis.data();
  size_t inLeft = utf8.size(), outLeft = sjis.size();
  iconv(cd, &inp, &inLeft, &outp, &outLeft);
  iconv_close(cd);
  sjis.resize(sjis.size() - outLeft);
  std::vector<unsigned> codes;
  for (size_t i = 0; i < sjis.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(sjis[i]);
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    if (lead && i + 1 < sjis.size()) {
      codes.push_back(b * 256u + static_cast<unsigned char>(sjis[++i]));
    } else if (b != '\n' && b != '\r') {
      codes.push_back(b);
    }
  }
  return codes;
}

// Appends the workload to path in glyph units (10000 per cell), advancing by advanceOf(metrics)
// after each character and starting a new line, linePitch lower, after every charsPerLine.
// Returns the number of glyphs set.
template <typename AdvanceOf>
int setText(JVect *path, AdvanceOf advanceOf, int charsPerLine, double linePitch) {
  JFont *registry = jFontInit();
  JFontEntry mask{};
  mask.charset = 0x1000007Fu;  // every character-set class
  jFontRegistTTF(registry, mask);
  JFontHandle *font = jFontOpen(registry, "IPAGothic", 0);
  JVect *glyph = jVectOpen(2000);
  int set = 0;
  double x = 0, y = 0;
  for (unsigned code : shiftJisCodes(std::string(OUTLINA_TEXT_WORKLOAD))) {
    jVectClear(glyph);
    JFontGlyphInfo info{};
    JFontGlyphMetrics metrics{};
    if (font == nullptr || jFontGlyphVect(font, code, 0, &info, &metrics, glyph) < 0) continue;
    JVectPoint *v = jVectGetVd(glyph);
    for (int i = 0; i < jVectGetNum(glyph); ++i) {
      v[i].x = static_cast<float>(v[i].x + x);
      v[i].y = static_cast<float>(v[i].y + y);
    }
    jVectAdd(path, glyph);
    x += advanceOf(metrics);
    if (++set % charsPerLine == 0) {
      x = 0;
      y -= linePitch;
    }
  }
  jVectClose(glyph);
  jFontClose(font);
  jFontEnd(registry);
  return set;
}

// Each character advances by its own advance times advanceFactor, so a factor below 1 makes
// neighbours overlap; lines are one cell apart.
inline int setTextWorkload(JVect *path, double advanceFactor, int charsPerLine = 40) {
  return setText(
      path, [advanceFactor](const JFontGlyphMetrics &m) { return m.advance * advanceFactor; },
      charsPerLine, 10000);
}

// The weld's workload: every cell 7000 units along and lines 8000 apart, so that each letter
// overlaps its neighbours along and across the lines.
inline int setOverlappingText(JVect *path) {
  return setText(
      path, [](const JFontGlyphMetrics &) { return 7000.0; }, 20, 8000);
}

}  // namespace testing_support

#endif
