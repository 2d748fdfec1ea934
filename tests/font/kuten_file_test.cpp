// Shift-JIS and ku-ten codes, and the ku-ten outline font file reader (kind 11).
#include <gtest/gtest.h>


#include "font/font_file_fixture.h"
#include "outlina/font.h"

namespace {

using namespace testing_support;

using KuTen = std::pair<int32_t, int32_t>;

KuTen toKuTen(uint32_t code) {
  KuTen result{-1, -1};
  EXPECT_EQ(jFontSJISToKuTen(code, &result.first, &result.second), 1);
  return result;
}

TEST(KuTen, KnownCodesSingleBytesRejectedPairsAndEveryValidPairRoundTrips) {
  // The IBM extensions fold onto NEC rows, so only the codes before them convert back.
  const struct {
    uint32_t code;
    KuTen kt;
  } cases[] = {{0x889F, {16, 1}},  {0x8140, {1, 1}},   {0x9FFC, {62, 94}},    {0xE040, {63, 1}},
               {0x8754, {13, 21}}, {0xEAA4, {84, 6}},  {0x817E, {1, 63}},     {0x8180, {1, 64}},
               {0xED40, {89, 1}},  {0x41, {0, 0x41}},  {0xB1, {0, 0xB1}},     {0xFA4A, {13, 21}},
               {0xFA40, {92, 81}}, {0xFA54, {92, 91}}, {0xA0A1, {0, 0xA0A1}}, {0xFA58, {13, 74}}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(toKuTen(cases[i].code), cases[i].kt) << std::hex << cases[i].code;
    uint16_t back = 0;
    const bool converts = jFontKuTenToSJIS(&back, cases[i].kt.first, cases[i].kt.second) == 1;
    EXPECT_TRUE(i >= 10 || (converts && back == cases[i].code)) << std::hex << cases[i].code;
  }
  for (uint32_t code : {0x8100u, 0x813Fu, 0x817Fu, 0x81FDu, 0xF040u, 0xFA7Fu, 0xFC4Cu, 0xFCFCu})
    EXPECT_EQ(toKuTen(code), (KuTen{-32, -32})) << std::hex << code;
  for (int32_t ku = 1; ku <= 94; ++ku) {
    for (int32_t ten = 1; ten <= 94; ++ten) {
      uint16_t code = 0;
      ASSERT_EQ(jFontKuTenToSJIS(&code, ku, ten), 1);
      const uint32_t lead = code >> 8, trail = code & 0xFF;
      ASSERT_TRUE((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xEF));
      ASSERT_TRUE(trail >= 0x40 && trail <= 0xFC && trail != 0x7F);
      ASSERT_EQ(toKuTen(code), (KuTen{ku, ten}));
    }
  }
  // Walking the spread runs in code order visits every cell of 89-1 .. 92-78 once.
  int32_t expected = 0;
  for (uint32_t code = 0xFA5C; code <= 0xFC4B; ++code) {
    const uint32_t trail = code & 0xFF;
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC) continue;
    const KuTen got = toKuTen(code);
    ASSERT_EQ((got.first - 89) * 94 + got.second - 1, expected++) << std::hex << code;
  }
  EXPECT_EQ(expected, 3 * 94 + 78);
}

using fontpack::ByteImage;

constexpr size_t kIndexAt = 256;
constexpr uint16_t kTop = 0x8000;  // the mode bit of a coordinate word

// The index record of a cell in a file without markers (base 0, 84 rows).
size_t recordAt(int row, int cell) {
  return kIndexAt + static_cast<size_t>((row - 1) * 94 + (cell - 1)) * 10;
}

// A file without markers whose only outline, horizontal, is in the record of row-cell.
ByteImage withOutline(int row, int cell, int16_t ox, int16_t oy, uint16_t advance,
                      const std::vector<uint16_t> &words) {
  ByteImage f;
  f.bytes.resize(kIndexAt + 84 * 94 * 10);
  const size_t at = f.size();
  f.put32(recordAt(row, cell) + 2, static_cast<uint32_t>(at));
  f.put16(at, static_cast<uint16_t>(ox));
  f.put16(at + 2, static_cast<uint16_t>(oy));
  f.put16(at + 4, advance);
  f.bytes.resize(at + 24);
  for (uint16_t w : words) f.put16(f.size(), w);
  f.put32(f.size(), 0xFFFFFFFF);
  return f;
}

// 16-1 holds a square whose horizontal origin is (100, -50).
ByteImage plainFile() {
  return withOutline(16, 1, 100, -50, 9000,
                     {1100, 950, 2100, kTop | 950, 2100, kTop | 1950, 1100, kTop | 950});
}

TEST(KuTenFile, DecodesLinesArcsAndSingleByteRows) {
  OpenFont plain(JFK_KUTEN_FILE, plainFile().bytes);
  GlyphRead g = plain.read(0x889F, 0);
  EXPECT_EQ(g.points, (Points{{1, 1000, 1000}, {2, 2000, 1000}, {2, 2000, 2000}, {2, 1000, 1000}}));
  EXPECT_EQ(summary(g), "4: 16-1 dir 0 flag 0 0000/00/00, advance 9000 margin 500");
  // No vertical outline: success without points and the default metrics.
  g = plain.read(0x889F, 1);
  EXPECT_TRUE(g.points.empty());
  EXPECT_EQ(summary(g), "0: 16-1 dir 1 flag 0 0000/00/00, advance 10000 margin 0");

  // A semicircle from (0, 0) through (100, 100) to (200, 0): both top bits mark its end.
  OpenFont arcs(
      JFK_KUTEN_FILE,
      withOutline(16, 1, 0, 0, 10000, {0, 0, kTop | 100, 100, kTop | 200, kTop | 0}).bytes);
  g = arcs.read(0x889F, 0);
  ASSERT_EQ(g.result, 7);
  const int modes[] = {1, 41, 42, 43, 41, 42, 43};
  for (size_t i = 0; i < g.points.size(); ++i) EXPECT_EQ(g.points[i].mode, modes[i]) << i;
  EXPECT_NEAR(g.points[3].x, 100, 1e-3);  // the first quarter circle ends on top
  EXPECT_NEAR(g.points[3].y, 100, 1e-3);
  EXPECT_EQ(g.points.back(), (P{43, 200, 0}));

  const int cases[][3] = {{0x21, 9, 1}, {0x7E, 9, 94}, {0xB1, 10, 17}, {0x20, 11, 1}};
  for (const auto &[code, row, cell] : cases) {
    OpenFont single(JFK_KUTEN_FILE, withOutline(row, cell, 0, 0, 5000, {1, 2}).bytes);
    g = single.read(code, 0);
    EXPECT_EQ(g.result, 1) << code;
    EXPECT_EQ(g.info.ku * 100 + g.info.ten, row * 100 + cell) << code;
  }
}

TEST(KuTenFile, BrokenFilesFailTheGlyph) {
  const size_t record = recordAt(16, 1);
  const size_t outline = plainFile().size() - 24 - 4 * 5;
  testing_support::expectBrokenFilesFail(
      JFK_KUTEN_FILE, plainFile(),
      {
          {"row beyond the row marker", [](ByteImage &f) { f.putText(68, "K015"); }, 0x889F, 0},
          {"row 85 beyond 84 rows", [](ByteImage &) {}, 0xEB40, 0},
          {"non-digit base", [](ByteImage &f) { f.putText(64, "S1x"); }, 0x889F, 0},
          {"position beyond the end", [&](ByteImage &f) { f.put32(record + 2, 0xFFFFFFF0); },
           0x889F, 0},
          {"no terminator", [&](ByteImage &f) { f.bytes.resize(outline + 24 + 4 * 2 + 2); }, 0x889F,
           2},
          {"terminator cut in half", [&](ByteImage &f) { f.bytes.resize(f.size() - 2); }, 0x889F,
           4},
      });
  OpenFont missing(JFK_KUTEN_FILE, {}, "/nonexistent/outlina/font.kuten");
  EXPECT_EQ(missing.read(0x889F, 0).result, -1);
}

TEST(KuTenFile, PackedQuadraticGlyphsEqualTheInstalledFont) {
  fontpack::KuTenLayout layout;
  layout.base = 12;
  expectPackedGlyphsEqualInstalled(
      JFK_KUTEN_FILE, [&](const auto &glyphs) { return fontpack::packKuTenFile(glyphs, layout); },
      [](float v) { return v; }, false);
}

}  // namespace
