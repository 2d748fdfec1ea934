// Glyphs per second of jFontGlyphVect on 2,000 kanji, beside FreeType alone mapping, loading and
// walking the same outlines in the same run: IPAGothic (TrueType) and Noto Sans CJK JP (CFF).
#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <iconv.h>

#include <cstring>
#include <vector>

#include "outlina/font.h"

namespace {

constexpr int kKanji = 2000;
// The first-level kanji start at row 16.
constexpr int32_t kFirstKanjiRow = 16;
constexpr int32_t kCellsPerRow = 94;

struct Kanji {
  uint32_t code;  // Shift-JIS
  uint32_t unicode;
};

std::vector<Kanji> kanji() {
  std::vector<Kanji> out;
  iconv_t convert = iconv_open("UTF-32LE", "CP932");
  for (int i = 0; i < kKanji; ++i) {
    uint16_t code = 0;
    jFontKuTenToSJIS(&code, kFirstKanjiRow + i / kCellsPerRow, i % kCellsPerRow + 1);
    char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    uint32_t unicode = 0;
    char *in = bytes, *out32 = reinterpret_cast<char *>(&unicode);
    size_t inLeft = 2, outLeft = 4;
    iconv(convert, &in, &inLeft, &out32, &outLeft);
    out.push_back({code, unicode});
  }
  iconv_close(convert);
  return out;
}

void GlyphVectKanji(benchmark::State &state, const char *family) {
  const std::vector<Kanji> glyphs = kanji();
  JFont *font = jFontInit();
  JFontEntry templ{};
  templ.charset = JFCS_SHIFTJIS;
  jFontRegistTTF(font, templ);
  JFontHandle *handle = jFontOpen(font, family, 0);
  JVect *path = jVectOpen(10000);
  JFontGlyphInfo info;
  JFontGlyphMetrics metrics;
  int64_t points = 0;
  for (auto _ : state) {
    for (const Kanji &k : glyphs) {
      points += jFontGlyphVect(handle, k.code, 0, &info, &metrics, path);
      jVectRewindPoint(path, path->count);
    }
  }
  benchmark::DoNotOptimize(points);
  state.SetItemsProcessed(state.iterations() * kKanji);
  jVectClose(path);
  jFontClose(handle);
  jFontEnd(font);
}
BENCHMARK_CAPTURE(GlyphVectKanji, IPAGothic, "IPAGothic")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(GlyphVectKanji, NotoSansCJK, "Noto Sans CJK JP")->Unit(benchmark::kMillisecond);

int countMove(const FT_Vector *, void *user) { return ++*static_cast<int64_t *>(user), 0; }
int countLine(const FT_Vector *, void *user) { return ++*static_cast<int64_t *>(user), 0; }
int countConic(const FT_Vector *, const FT_Vector *, void *user) {
  return *static_cast<int64_t *>(user) += 2, 0;
}
int countCubic(const FT_Vector *, const FT_Vector *, const FT_Vector *, void *user) {
  return *static_cast<int64_t *>(user) += 3, 0;
}

void FreeTypeLoadDecomposeKanji(benchmark::State &state, const char *family) {
  const std::vector<Kanji> glyphs = kanji();
  JFont *font = jFontInit();
  JFontEntry templ{};
  templ.charset = JFCS_SHIFTJIS;
  jFontRegistTTF(font, templ);
  // The same face the library opened: its dc.
  JFontHandle *handle = jFontOpen(font, family, 0);
  auto face = static_cast<FT_Face>(jFontGetDC(handle));
  const FT_Outline_Funcs funcs{countMove, countLine, countConic, countCubic, 0, 0};
  int64_t points = 0;
  for (auto _ : state) {
    for (const Kanji &k : glyphs) {
      FT_Load_Glyph(face, FT_Get_Char_Index(face, k.unicode), FT_LOAD_NO_SCALE);
      FT_Outline_Decompose(&face->glyph->outline, &funcs, &points);
    }
  }
  benchmark::DoNotOptimize(points);
  state.SetItemsProcessed(state.iterations() * kKanji);
  jFontClose(handle);
  jFontEnd(font);
}
BENCHMARK_CAPTURE(FreeTypeLoadDecomposeKanji, IPAGothic, "IPAGothic")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FreeTypeLoadDecomposeKanji, NotoSansCJK, "Noto Sans CJK JP")
    ->Unit(benchmark::kMillisecond);

}  // namespace
