// The INDX outline font file reader (kind 12): exact decoding of a hand-made file, every kind of
// broken file, and the round trip through the writer from an installed font.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "font/font_file_fixture.h"

namespace {

using namespace testing_support;

using fontpack::ByteImage;

constexpr int kRows = 16;
constexpr uint32_t kIndexSize = (256 + kRows * 94) * 10;

constexpr size_t kIndexAt = 41;  // content of the "INDX" chunk
constexpr size_t kKanjiRecord = kIndexAt + (256 + 15 * 94) * 10;

// Writes a glyph chunk: stored info, the two direction blocks and the words.
size_t addGlyph(ByteImage *f, const JFontGlyphInfo &info, const int16_t blocks[8],
                const std::vector<uint16_t> &words) {
  const size_t at = f->size();
  f->putText(at, "GLYF");
  f->put32(at + 4, static_cast<uint32_t>(30 + 2 * words.size() + 4));
  uint8_t raw[14];
  std::memcpy(raw, &info, sizeof raw);
  for (size_t i = 0; i < sizeof raw; ++i) f->put8(at + 8 + i, raw[i]);
  for (int i = 0; i < 8; ++i) f->put16(at + 22 + 2 * i, static_cast<uint16_t>(blocks[i]));
  for (uint16_t w : words) f->put16(f->size(), w);
  f->put32(f->size(), 0xFFFFFFFF);
  return at;
}

// The index chunk is the third chunk, after "NAME" and an empty "JUNK".
ByteImage handMadeFile(size_t *kanjiAt = nullptr) {
  ByteImage f;
  f.putText(0, "hand-made!!!NAME");
  f.put32(16, 5);
  f.putText(20, "fixt.JUNK");
  f.put32(29, 0);
  f.putText(33, "INDX");
  f.put32(37, kIndexSize);
  f.bytes.resize(kIndexAt + kIndexSize);

  const JFontGlyphInfo kanjiInfo = {
      16, 1, 0, 7, {'2', '0', '2', '6', '/', '1', '2', '/', '0', '5'}};
  const int16_t kanjiBlocks[8] = {4, -8, 9000, 500, 0, 0, 10000, 0};
  const size_t kanji = addGlyph(&f, kanjiInfo, kanjiBlocks,
                                {0x0100, 0x0200,    // (0, 0): start
                                 0x0200, 0x0201,    // (0, 1): line
                                 0x0300, 0x0302,    // (0, 2): skipped
                                 0x0301, 0x0302,    // (1, 2): quadratic control
                                 0x0401, 0x0403,    // (1, 3): quadratic end
                                 0xFFFA, 0x0000,    // (2, 0): -6 truncates to -4
                                 0x0402, 0x0401,    // (2, 1)
                                 0x0003, 0x0000,    // (3, 0): skipped
                                 0x0102, 0x0102});  // (2, 2)
  f.put32(kKanjiRecord + 2, static_cast<uint32_t>(kanji));
  if (kanjiAt != nullptr) *kanjiAt = kanji;

  const JFontGlyphInfo letterInfo = {
      0, 0x41, 1, 1, {'1', '9', '9', '9', '/', '0', '1', '/', '0', '2'}};
  const int16_t letterBlocks[8] = {0, 0, 5000, 2500, -100, 20, 9000, 500};
  const size_t letter = addGlyph(&f, letterInfo, letterBlocks, {0x0010, 0x0020, 0x0020, 0x0021});
  f.put32(kIndexAt + 0x41 * 10 + 6, static_cast<uint32_t>(letter));
  return f;
}

TEST(IndxFile, DecodesWordsModesOriginsAndStoredInfo) {
  OpenFont file(JFK_INDX_FILE, handMadeFile().bytes);
  GlyphRead g = file.read(0x889F, 0);
  EXPECT_EQ(g.points, (Points{{1, 252, 520},
                              {2, 508, 520},
                              {31, 764, 776},
                              {32, 1020, 1032},
                              {41, -8, 8},
                              {42, 1020, 1032},
                              {43, 252, 264}}));
  EXPECT_EQ(summary(g), "7: 16-1 dir 0 flag 7 2026/12/05, advance 9000 margin 500");
  EXPECT_EQ(g.metrics.originX | g.metrics.originY, 0);
  // A single-byte code finds record number = the code; the vertical block gives origin and size.
  g = file.read(0x41, 1);
  EXPECT_EQ(g.points, (Points{{1, 116, 12}, {2, 132, 12}}));
  EXPECT_EQ(summary(g), "2: 0-65 dir 1 flag 1 1999/01/02, advance 9000 margin 500");
  // No outline for the direction: failure, with the defaults left in place.
  EXPECT_EQ(summary(file.read(0x889F, 1)),
            "-1: 16-1 dir 1 flag 1 0000/00/00, advance 10000 margin 0");
}

TEST(IndxFile, BrokenFilesFailTheGlyph) {
  size_t kanjiAt = 0;
  const ByteImage good = handMadeFile(&kanjiAt);
  testing_support::expectBrokenFilesFail(
      JFK_INDX_FILE, good,
      {
          {"no INDX chunk", [](ByteImage &f) { f.putText(33, "INDY"); }, 0x889F, 0},
          {"chunk size wraps the offset", [](ByteImage &f) { f.put32(16, 0xFFFFFFF0); }, 0x889F, 0},
          {"row beyond the row count", [](ByteImage &) {}, 0x8940, 0},
          {"position beyond the end", [&](ByteImage &f) { f.put32(kKanjiRecord + 2, 0xFFFFFF00); },
           0x889F, 0},
          {"glyph header cut short", [&](ByteImage &f) { f.bytes.resize(kanjiAt + 30); }, 0x889F,
           0},
          {"no terminator", [&](ByteImage &f) { f.bytes.resize(kanjiAt + 38 + 4 * 3 + 1); }, 0x889F,
           2},
      });
}

// Coordinates land on the nearest multiple of 4, halves rounded up, on both sides of zero.
float quantised(double v) { return static_cast<float>(std::floor(v / 4.0 + 0.5) * 4); }

TEST(IndxFile, PackedGlyphsEqualTheInstalledFontOnTheGridOfFour) {
  expectPackedGlyphsEqualInstalled(
      JFK_INDX_FILE, [](const auto &glyphs) { return fontpack::packIndxFile(glyphs); }, quantised,
      true);
}

}  // namespace
