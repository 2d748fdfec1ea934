// The installed-font reader parsing hand-made native outline buffers from a substituted
// outline service.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "font/native_outline.h"
#include "frame/plinth_fault.h"
#include "outlina/font.h"

namespace {

using outlina::FontGlyphCell;
using outlina::FontMat2;

// A native buffer written by hand: polygons of line (1) and B-spline (2) records.
class NativeBuffer {
 public:
  // Coordinates are 16.16 numbers given as raw integers.
  void polygon(int32_t x, int32_t y) {
    polygonAt_ = bytes_.size();
    put32(0);
    put32(24);
    put32(x);
    put32(y);
  }
  void record(uint16_t type, std::initializer_list<std::pair<int32_t, int32_t>> points) {
    put16(type);
    put16(static_cast<uint16_t>(points.size()));
    for (auto [x, y] : points) {
      put32(x);
      put32(y);
    }
    const auto size = static_cast<uint32_t>(bytes_.size() - polygonAt_);
    std::memcpy(bytes_.data() + polygonAt_, &size, 4);
  }
  const std::vector<uint8_t> &bytes() const { return bytes_; }

 private:
  void put32(int32_t v) { append(&v, 4); }
  void put16(uint16_t v) { append(&v, 2); }
  void append(const void *p, size_t n) {
    const auto *b = static_cast<const uint8_t *>(p);
    bytes_.insert(bytes_.end(), b, b + n);
  }
  std::vector<uint8_t> bytes_;
  size_t polygonAt_ = 0;
};

constexpr int32_t kOne = 65536;

// The substituted service: serves one buffer, can refuse the full-size matrix.
struct Fake {
  std::vector<uint8_t> buffer;
  int32_t descent = 0;
  FontGlyphCell cell{0, 0};
  bool refuseFullSize = false;
  bool refuseAll = false;
  std::vector<FontMat2> asked;
};
Fake fake;

int32_t fakeDescent(JFontHandle *) { return fake.descent; }

int32_t fakeOutline(JFontHandle *, uint32_t, const FontMat2 &matrix, FontGlyphCell *cell,
                    uint32_t size, uint8_t *buffer) {
  fake.asked.push_back(matrix);
  const bool full = std::abs(matrix.m11) == kOne || std::abs(matrix.m12) == kOne;
  if (fake.refuseAll || (fake.refuseFullSize && full)) return -1;
  *cell = fake.cell;
  if (buffer != nullptr) {
    if (size < fake.buffer.size()) return -1;
    std::memcpy(buffer, fake.buffer.data(), fake.buffer.size());
  }
  return static_cast<int32_t>(fake.buffer.size());
}

const outlina::FontOutlineService kFakeService{fakeDescent, fakeOutline};

struct Point {
  int32_t mode;
  float x, y;
  bool operator==(const Point &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Point &p) {
  return out << "(" << p.mode << ": " << p.x << ", " << p.y << ")";
}

class GlyphReader : public ::testing::Test {
 protected:
  void SetUp() override {
    fake = Fake{};
    outlina::fontSetOutlineService(&kFakeService);
    handle_.entry.kind = JFK_TTF;
    path_ = jVectOpen(16);
  }
  void TearDown() override {
    outlina::fontSetOutlineService(nullptr);
    jVectClose(path_);
  }
  int32_t read(uint32_t code, int32_t direction) {
    return jFontGlyphVect(&handle_, code, direction, &info_, &metrics_, path_);
  }
  std::vector<Point> points() const {
    std::vector<Point> out;
    for (int32_t i = 0; i < path_->count; ++i)
      out.push_back({path_->points[i].mode, path_->points[i].x, path_->points[i].y});
    return out;
  }

  JFontHandle handle_{};
  JFontGlyphInfo info_{};
  JFontGlyphMetrics metrics_{};
  JVect *path_ = nullptr;
};

TEST_F(GlyphReader, SplineRecordMakesImpliedPointsExplicitAndContourCloses) {
  NativeBuffer b;
  b.polygon(0, 0);
  b.record(2, {{10 * kOne, 0}, {20 * kOne, 10 * kOne}, {20 * kOne, 30 * kOne}});
  fake.buffer = b.bytes();
  fake.cell = {500, 0};
  EXPECT_EQ(read(0x41, 0), 6);
  const std::vector<Point> expected = {{1, 0, 0},   {31, 10, 0},  {32, 15, 5},
                                       {31, 20, 10}, {32, 20, 30}, {2, 0, 0}};
  EXPECT_EQ(points(), expected);
  EXPECT_EQ(metrics_.advance, 500);
  EXPECT_EQ(metrics_.margin, 4750);
}

TEST_F(GlyphReader, ClosedContourGetsNoExtraPointAndRecordsMix) {
  NativeBuffer b;
  b.polygon(0, 0);
  b.record(1, {{100 * kOne, 0}, {100 * kOne, 100 * kOne}});
  b.record(2, {{50 * kOne, 150 * kOne}, {0, 100 * kOne}});
  b.record(1, {{0, 0}});
  b.polygon(10 * kOne, 10 * kOne);
  b.record(1, {{20 * kOne, 10 * kOne}, {20 * kOne, 20 * kOne}});
  fake.buffer = b.bytes();
  EXPECT_EQ(read(0x41, 0), 10);
  const std::vector<Point> expected = {{1, 0, 0},     {2, 100, 0},  {2, 100, 100}, {31, 50, 150},
                                       {32, 0, 100},  {2, 0, 0},    {1, 10, 10},   {2, 20, 10},
                                       {2, 20, 20},   {2, 10, 10}};
  EXPECT_EQ(points(), expected);
}

TEST_F(GlyphReader, FractionsRoundDownAndMidpointsTruncateTowardZero) {
  NativeBuffer b;
  // 2.75 -> 2, -0.25 -> -1, -3.5 -> -4.
  b.polygon(2 * kOne + 3 * kOne / 4, -kOne / 4);
  b.record(2, {{-3 * kOne - kOne / 2, 0}, {0, 0}, {2 * kOne + 3 * kOne / 4, -kOne / 4}});
  fake.buffer = b.bytes();
  read(0x41, 0);
  // mid(-4, 0) = -2, mid(0, 0) = 0: truncation, not flooring, of (-4 + 0) / 2 and of
  // (-1 + 0) / 2 in the closing coordinates.
  const std::vector<Point> expected = {{1, 2, -1}, {31, -4, 0}, {32, -2, 0}, {31, 0, 0},
                                       {32, 2, -1}};
  EXPECT_EQ(points(), expected);
  NativeBuffer odd;
  odd.polygon(0, 0);
  odd.record(2, {{-3 * kOne, -kOne}, {0, 0}, {kOne, kOne}});
  fake.buffer = odd.bytes();
  jVectClear(path_);
  read(0x41, 0);
  EXPECT_EQ(points()[2], (Point{32, -1, 0}));  // (-3 + 0) / 2 and (-1 + 0) / 2
}

TEST_F(GlyphReader, DirectionsShiftByDescentAndAdvance) {
  NativeBuffer b;
  b.polygon(100 * kOne, 200 * kOne);
  b.record(1, {{300 * kOne, -400 * kOne}});
  fake.buffer = b.bytes();
  fake.descent = 1000;
  fake.cell = {7000, -9000};
  read(0x41, 0);
  EXPECT_EQ(points()[0], (Point{1, 100, 1200}));
  EXPECT_EQ(points()[1], (Point{2, 300, -400 + 1000}));
  EXPECT_EQ(metrics_.advance, 7000);
  EXPECT_EQ(fake.asked.back().m11, kOne);
  EXPECT_EQ(fake.asked.back().m22, kOne);

  jVectClear(path_);
  read(0x41, 1);
  EXPECT_EQ(metrics_.advance, 9000);  // the vertical cell increment, without its sign
  EXPECT_EQ(metrics_.margin, 500);
  EXPECT_EQ(points()[0], (Point{1, 1100, 9200}));
  EXPECT_EQ(points()[1], (Point{2, 1300, 8600}));
  const FontMat2 turn = fake.asked.back();
  EXPECT_EQ(turn.m11, 0);
  EXPECT_EQ(turn.m12, -kOne);
  EXPECT_EQ(turn.m21, kOne);
  EXPECT_EQ(turn.m22, 0);

  // Other directions turn the glyph too, without the advance shift and with the horizontal
  // increment.
  jVectClear(path_);
  read(0x41, 2);
  EXPECT_EQ(points()[0], (Point{1, 1100, 200}));
  EXPECT_EQ(metrics_.advance, 7000);
}

TEST_F(GlyphReader, RefusedFullSizeIsFetchedAtHalfSizeAndDoubled) {
  NativeBuffer b;
  b.polygon(3 * kOne, 5 * kOne + kOne / 2);
  b.record(1, {{-7 * kOne, 5 * kOne}});
  fake.buffer = b.bytes();
  fake.cell = {0, -4600};
  fake.descent = 10;
  fake.refuseFullSize = true;
  EXPECT_EQ(read(0x41, 1), 3);
  ASSERT_EQ(fake.asked.size(), 3u);
  const FontMat2 half = fake.asked[1];
  EXPECT_EQ(half.m12, -kOne / 2);
  EXPECT_EQ(half.m21, kOne / 2);
  EXPECT_EQ(metrics_.advance, 9200);
  const std::vector<Point> expected = {{1, 16, 9210}, {2, -4, 9210}, {2, 16, 9210}};
  EXPECT_EQ(points(), expected);
}

TEST_F(GlyphReader, FailuresLeaveDefaultsAndNoPoints) {
  NativeBuffer b;
  b.polygon(0, 0);
  b.record(1, {{kOne, 0}, {kOne, kOne}});
  fake.buffer = b.bytes();
  fake.refuseAll = true;
  info_.ku = 77;
  metrics_.advance = 3;
  EXPECT_EQ(read(0x889F, 1), -1);
  EXPECT_EQ(path_->count, 0);
  EXPECT_EQ(info_.ku, 16);
  EXPECT_EQ(info_.ten, 1);
  EXPECT_EQ(info_.direction, 1);
  EXPECT_EQ(info_.flag, 1);
  EXPECT_EQ(std::memcmp(info_.date, "0000/00/00", 10), 0);
  EXPECT_EQ(metrics_.originX, 0);
  EXPECT_EQ(metrics_.originY, 0);
  EXPECT_EQ(metrics_.advance, 10000);
  EXPECT_EQ(metrics_.margin, 0);

  fake.refuseAll = false;
  jMemTestFailNth(1);
  EXPECT_EQ(read(0x41, 0), -1);
  EXPECT_FALSE(jMemTestArmed());
  EXPECT_EQ(path_->count, 0);
  EXPECT_EQ(read(0x41, 0), 4);
}

TEST_F(GlyphReader, BlankGlyphHasAdvanceOnly) {
  fake.cell = {2300, 0};
  EXPECT_EQ(read(0x20, 0), 0);
  EXPECT_EQ(metrics_.advance, 2300);
  EXPECT_EQ(metrics_.margin, 3850);
  EXPECT_EQ(info_.ku, 0);
  EXPECT_EQ(info_.ten, 0x20);
  fake.cell = {0, 0};
  EXPECT_EQ(read(0x20, 0), 0);
  EXPECT_EQ(metrics_.advance, 10000);
  EXPECT_EQ(metrics_.margin, 0);
  // An odd remainder truncates: (10000 - 2301) / 2.
  fake.cell = {-2301, 0};
  read(0x20, 0);
  EXPECT_EQ(metrics_.margin, 3849);
}

TEST_F(GlyphReader, OtherKindsAndNullArgumentsAddNothing) {
  const JFontGlyphInfo untouchedInfo{9, 9, 9, 9, {'x'}};
  const JFontGlyphMetrics untouchedMetrics{1, 2, 3, 4};
  for (int32_t kind : {0, 1, 13, 20, 22}) {
    handle_.entry.kind = kind;
    info_ = untouchedInfo;
    metrics_ = untouchedMetrics;
    EXPECT_EQ(read(0x889F, 0), 0);
    EXPECT_EQ(std::memcmp(&info_, &untouchedInfo, sizeof info_), 0);
    EXPECT_EQ(std::memcmp(&metrics_, &untouchedMetrics, sizeof metrics_), 0);
  }
  EXPECT_TRUE(fake.asked.empty());
  EXPECT_EQ(jFontGlyphVect(nullptr, 0x41, 0, &info_, &metrics_, path_), -1);
  EXPECT_EQ(jFontGlyphVect(&handle_, 0x41, 0, nullptr, &metrics_, path_), -1);
  EXPECT_EQ(jFontGlyphVect(&handle_, 0x41, 0, &info_, nullptr, path_), -1);
  EXPECT_EQ(jFontGlyphVect(&handle_, 0x41, 0, &info_, &metrics_, nullptr), -1);
  EXPECT_EQ(path_->count, 0);
}

}  // namespace
