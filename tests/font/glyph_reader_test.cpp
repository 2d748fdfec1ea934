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

  // One polygon: the start (x, y), then a line record (type 1, one point) to (x1, y1); 16.16.
  void line(int32_t x, int32_t y, int32_t x1, int32_t y1) {
    const int32_t words[] = {28, 24, x, y, 1 | 1 << 16, x1, y1};
    buffer.resize(sizeof words);
    std::memcpy(buffer.data(), words, sizeof words);
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

TEST_F(GlyphReader, RefusedFullSizeIsFetchedAtHalfSizeAndDoubledAndRefusalFails) {
  fake.line(3 * kOne, 5 * kOne + kOne / 2, -7 * kOne, 5 * kOne);
  fake.cell = {0, -4600};
  fake.descent = 10;
  fake.refuseFullSize = true;
  EXPECT_EQ(read(0x41, 1), 3);
  ASSERT_EQ(fake.asked.size(), 2u);
  EXPECT_EQ(fake.asked[1], (std::array<int32_t, 4>{0, -kOne / 2, kOne / 2, 0}));
  EXPECT_EQ(metrics_.advance, 9200);
  EXPECT_EQ(points(), (Points{{1, 16, 9210}, {2, -4, 9210}, {2, 16, 9210}}));
  // Refused at both sizes: failure, no points and the default metrics.
  fake.refuseAll = true;
  EXPECT_EQ(read(0x889F, 1), -1);
  EXPECT_TRUE(points().empty());
  EXPECT_TRUE(metrics_.advance == 10000 && metrics_.margin == 0);
}

}  // namespace
