// The installed-font reader parsing hand-made native buffers from a substituted service.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "font/native_outline.h"
#include "outlina/font.h"
#include "support/path_builder.h"

namespace {

using namespace testing_support;

using outlina::FontMat2;
constexpr int32_t kOne = 65536;

struct Fake {
  std::vector<uint8_t> buffer;
  int32_t descent = 0;
  outlina::FontGlyphCell cell{0, 0};
  bool refuseFullSize = false, refuseAll = false;
  std::vector<std::array<int32_t, 4>> asked;  // the matrices asked for

  // A polygon of records {type, {x0, y0, x1, y1, ...}} in 16.16.
  void polygon(int32_t x, int32_t y, std::vector<std::pair<uint16_t, std::vector<int32_t>>> recs) {
    const size_t at = buffer.size();
    const int32_t words[] = {0, 24, x, y};
    put(words, 16);
    for (auto &[type, xy] : recs) {
      const uint16_t head[2] = {type, static_cast<uint16_t>(xy.size() / 2)};
      put(head, 4);
      put(xy.data(), 4 * xy.size());
    }
    const auto bytes = static_cast<uint32_t>(buffer.size() - at);
    std::memcpy(buffer.data() + at, &bytes, 4);
  }
  void put(const void *p, size_t n) {
    buffer.insert(buffer.end(), static_cast<const uint8_t *>(p),
                  static_cast<const uint8_t *>(p) + n);
  }
} fake;

const outlina::FontOutlineService kFakeService{
    [](JFontHandle *) { return fake.descent; },
    [](JFontHandle *, uint32_t, const FontMat2 &m, outlina::FontGlyphCell *cell,
       const uint8_t **outline) -> int32_t {
      fake.asked.push_back({m.m11, m.m12, m.m21, m.m22});
      const bool full = std::abs(m.m11) == kOne || std::abs(m.m12) == kOne;
      if (fake.refuseAll || (fake.refuseFullSize && full)) return -1;
      *cell = fake.cell;
      *outline = fake.buffer.data();
      return static_cast<int32_t>(fake.buffer.size());
    }};

class GlyphReader : public ::testing::Test {
 protected:
  void SetUp() override {
    fake = Fake{};
    outlina::fontSetOutlineService(&kFakeService);
    handle_.entry.kind = JFK_TTF;
  }
  void TearDown() override { outlina::fontSetOutlineService(nullptr); }
  int32_t read(uint32_t code, int32_t direction) {
    jVectClear(path_.get());
    return jFontGlyphVect(&handle_, code, direction, &info_, &metrics_, path_.get());
  }
  Points points() const { return testing_support::pointsOf(path_.get()); }
  JFontHandle handle_{};
  JFontGlyphInfo info_{};
  JFontGlyphMetrics metrics_{};
  testing_support::PathPtr path_{jVectOpen(16)};
};

TEST_F(GlyphReader, SplinesGetTruncatedMidpointsAndOpenContoursClose) {
  fake.polygon(0, 0, {{2, {10 * kOne, 0, 20 * kOne, 10 * kOne, 20 * kOne, 30 * kOne}}});
  // Lines and a spline that end on the start: no closing point.
  fake.polygon(0, 0, {{1, {100 * kOne, 0}}, {2, {50 * kOne, 150 * kOne, 0, 0}}});
  // 2.75 -> 2, -0.25 -> -1, -3.5 -> -4; then mid(-4, 0) = -2 and mid(-3, 0) = -1, not -2.
  fake.polygon(2 * kOne + kOne * 3 / 4, -kOne / 4,
               {{2, {-3 * kOne - kOne / 2, 0, 0, 0, -3 * kOne, -kOne, 0, 0, kOne, kOne}}});
  fake.cell = {500, 0};
  EXPECT_EQ(read(0x41, 0), 20);
  const Points expected = {{1, 0, 0},    {31, 10, 0}, {32, 15, 5}, {31, 20, 10},  {32, 20, 30},
                           {2, 0, 0},    {1, 0, 0},   {2, 100, 0}, {31, 50, 150}, {32, 0, 0},
                           {1, 2, -1},   {31, -4, 0}, {32, -2, 0}, {31, 0, 0},    {32, -1, 0},
                           {31, -3, -1}, {32, -1, 0}, {31, 0, 0},  {32, 1, 1},    {2, 2, -1}};
  EXPECT_EQ(points(), expected);
  EXPECT_TRUE(metrics_.advance == 500 && metrics_.margin == 4750);
}

TEST_F(GlyphReader, DirectionsTurnAndShiftByDescentAndAdvance) {
  fake.polygon(100 * kOne, 200 * kOne, {{1, {300 * kOne, -400 * kOne}}});
  fake.descent = 1000;
  fake.cell = {7000, -9000};
  read(0x41, 0);
  EXPECT_EQ(points()[1], (P{2, 300, 600}));
  EXPECT_EQ(metrics_.advance, 7000);
  EXPECT_EQ(fake.asked.back(), (std::array<int32_t, 4>{kOne, 0, 0, kOne}));
  read(0x41, 1);
  // The vertical increment without its sign.
  EXPECT_TRUE(metrics_.advance == 9000 && metrics_.margin == 500);
  EXPECT_EQ(points(), (Points{{1, 1100, 9200}, {2, 1300, 8600}, {2, 1100, 9200}}));
  EXPECT_EQ(fake.asked.back(), (std::array<int32_t, 4>{0, -kOne, kOne, 0}));
  // Other directions turn too, without the advance shift, with the horizontal increment.
  read(0x41, 2);
  EXPECT_EQ(points()[0], (P{1, 1100, 200}));
  EXPECT_EQ(metrics_.advance, 7000);
}

TEST_F(GlyphReader, RefusedFullSizeIsFetchedAtHalfSizeAndDoubled) {
  fake.polygon(3 * kOne, 5 * kOne + kOne / 2, {{1, {-7 * kOne, 5 * kOne}}});
  fake.cell = {0, -4600};
  fake.descent = 10;
  fake.refuseFullSize = true;
  EXPECT_EQ(read(0x41, 1), 3);
  ASSERT_EQ(fake.asked.size(), 2u);
  EXPECT_EQ(fake.asked[1], (std::array<int32_t, 4>{0, -kOne / 2, kOne / 2, 0}));
  EXPECT_EQ(metrics_.advance, 9200);
  EXPECT_EQ(points(), (Points{{1, 16, 9210}, {2, -4, 9210}, {2, 16, 9210}}));
}

TEST_F(GlyphReader, FailuresAndBlankGlyphs) {
  fake.polygon(0, 0, {{1, {kOne, 0, kOne, kOne}}});
  fake.refuseAll = true;
  info_.ku = 77;
  metrics_.advance = 3;
  EXPECT_EQ(read(0x889F, 1), -1);
  EXPECT_TRUE(points().empty());
  const JFontGlyphInfo defaults{16, 1, 1, 1, {'0', '0', '0', '0', '/', '0', '0', '/', '0', '0'}};
  EXPECT_EQ(std::memcmp(&info_, &defaults, sizeof info_), 0);
  EXPECT_EQ(metrics_.advance, 10000);
  fake.refuseAll = false;
  EXPECT_EQ(read(0x41, 0), 4);
  // A blank glyph has an advance only.
  fake.buffer.clear();
  fake.cell = {-2301, 0};
  EXPECT_EQ(read(0x20, 0), 0);
  EXPECT_TRUE(metrics_.advance == 2301 && metrics_.margin == 3849);
}

}  // namespace
