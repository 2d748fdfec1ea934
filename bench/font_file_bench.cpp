// Glyphs per second of the two outline font file readers, on files packed from IPAGothic
// (two rows of kanji and the ASCII letters, both directions).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fontpack.h"
#include "outlina.h"

namespace {

struct PackedFont {
  std::string path;
  JFont *registry = nullptr;
  JFontHandle *handle = nullptr;

  PackedFont(int32_t kind, const std::vector<uint8_t> &bytes, const char *suffix) {
    path = "/tmp/outlina-font-bench-" + std::to_string(getpid()) + suffix;
    fontpack::writeFileBytes(path, bytes);
    registry = jFontInit();
    JFontEntry entry{};
    entry.kind = kind;
    std::strcpy(entry.name, "packed");
    std::snprintf(entry.path, sizeof entry.path, "%s", path.c_str());
    jFontRegist(registry, entry);
    handle = jFontOpen(registry, "packed", 0);
  }
  ~PackedFont() {
    jFontClose(handle);
    jFontEnd(registry);
    std::remove(path.c_str());
  }
};

const std::vector<fontpack::Glyph> &glyphs() {
  static const std::vector<fontpack::Glyph> all = [] {
    std::vector<fontpack::Glyph> g;
    fontpack::collectGlyphs("IPAGothic", 0x41, 0x5A, &g);
    fontpack::collectGlyphs("IPAGothic", 0x889F, 0x89FC, &g);
    return g;
  }();
  return all;
}

void readAll(benchmark::State &state, PackedFont &font) {
  const std::vector<fontpack::Glyph> &codes = glyphs();
  if (font.handle == nullptr || codes.empty()) {
    state.SkipWithError("no packed font");
    return;
  }
  JVect *path = jVectOpen(10000);
  JFontGlyphInfo info;
  JFontGlyphMetrics metrics;
  size_t i = 0;
  int64_t points = 0;
  for (auto _ : state) {
    const fontpack::Glyph &glyph = codes[i++ % codes.size()];
    const int32_t n = jFontGlyphVect(font.handle, glyph.code, 0, &info, &metrics, path);
    points += n;
    jVectRewindPoint(path, jVectGetNum(path));
  }
  jVectClose(path);
  state.SetItemsProcessed(state.iterations());
  state.counters["points/glyph"] =
      static_cast<double>(points) / static_cast<double>(state.iterations());
}

void BM_KuTenFileGlyph(benchmark::State &state) {
  static PackedFont font(JFK_KUTEN_FILE,
                         fontpack::packKuTenFile(glyphs(), fontpack::KuTenLayout{}), ".kuten");
  readAll(state, font);
}
BENCHMARK(BM_KuTenFileGlyph);

void BM_IndxFileGlyph(benchmark::State &state) {
  static PackedFont font(JFK_INDX_FILE, fontpack::packIndxFile(glyphs()), ".indx");
  readAll(state, font);
}
BENCHMARK(BM_IndxFileGlyph);

}  // namespace
