// FreeType outlines written as native records.
#include "font/native_writer.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

using outlina::Pt;

struct Outline {
  std::vector<FT_Vector> points;
  std::vector<char> tags;
  std::vector<short> ends;
  int flags = 0;
  outlina::NativeScratch scratch{};

  ~Outline() { outlina::fontReleaseNativeScratch(scratch); }
  void contour(std::initializer_list<std::array<int, 3>> xyTag) {
    for (auto [x, y, tag] : xyTag) {
      points.push_back({x, y});
      tags.push_back(static_cast<char>(tag));
    }
    ends.push_back(static_cast<short>(points.size() - 1));
  }
  bool write(const outlina::FontAffine &map) {
    const FT_Outline o{static_cast<short>(ends.size()),
                       static_cast<short>(points.size()),
                       points.data(),
                       tags.data(),
                       ends.data(),
                       flags};
    return outlina::fontWriteNativeOutline(o, map, scratch);
  }
  // Each polygon as {start, then per record: type, count, points}, in plain numbers.
  std::vector<std::vector<double>> polygons() const {
    std::vector<std::vector<double>> out;
    for (uint32_t at = 0; at < scratch.used;) {
      uint32_t bytes;
      std::memcpy(&bytes, scratch.buffer + at, 4);
      std::vector<double> words;
      for (uint32_t k = at + 8; k < at + 16; k += 4) words.push_back(fixed(k));
      for (uint32_t k = at + 16; k < at + bytes;) {
        uint16_t head[2];
        std::memcpy(head, scratch.buffer + k, 4);
        words.insert(words.end(), {double(head[0]), double(head[1])});
        for (int i = 0; i < 2 * head[1]; ++i) words.push_back(fixed(k + 4 + 4 * i));
        k += 4 + 8 * head[1];
      }
      out.push_back(words);
      at += bytes;
    }
    return out;
  }
  double fixed(uint32_t at) const {
    int32_t v;
    std::memcpy(&v, scratch.buffer + at, 4);
    return v / 65536.0;
  }
};

constexpr outlina::FontAffine kIdentity{1, 0, 0, 0, 1, 0};
constexpr int ON = FT_CURVE_TAG_ON, CONIC = FT_CURVE_TAG_CONIC, CUBIC = FT_CURVE_TAG_CUBIC;

TEST(NativeWriter, RecordsMergeLinesKeepSplineRunsAndDropTheClosingLine) {
  Outline o;
  o.contour({{0, 0, ON}, {0, 100, ON}, {100, 100, ON}, {100, 0, ON}});
  o.contour({{10, 10, ON}, {20, 20, ON}});  // encloses nothing: dropped
  // Off-curve points only: the start is the midpoint of the last and the first.
  o.contour({{0, 0, CONIC}, {0, 100, CONIC}, {100, 100, CONIC}, {100, 0, CONIC}});
  o.contour({{0, 0, ON}, {0, 50, CONIC}, {50, 50, CONIC}, {50, 0, ON}});
  ASSERT_TRUE(o.write({2, 0, 5, 0, 2, -7}));
  const std::vector<std::vector<double>> expected = {
      {5, -7, 1, 3, 5, 193, 205, 193, 205, -7},
      {105, -7, 2, 5, 5, -7, 5, 193, 205, 193, 205, -7, 105, -7},
      {5, -7, 2, 3, 5, 93, 105, 93, 105, -7}};
  EXPECT_EQ(o.polygons(), expected);
}

TEST(NativeWriter, CubicsBecomeQuadraticsWithinHalfAUnitAndCffContoursTurnClockwise) {
  // A counter-clockwise circle of four cubics, as CFF outlines run.
  constexpr int R = 4000, C = 5000, K = 2209;  // K = 0.5523 R
  Outline o;
  o.contour({{C + R, C, ON},
             {C + R, C + K, CUBIC},
             {C + K, C + R, CUBIC},
             {C, C + R, ON},
             {C - K, C + R, CUBIC},
             {C - R, C + K, CUBIC},
             {C - R, C, ON},
             {C - R, C - K, CUBIC},
             {C - K, C - R, CUBIC},
             {C, C - R, ON},
             {C + K, C - R, CUBIC},
             {C + R, C - K, CUBIC}});
  o.flags = FT_OUTLINE_REVERSE_FILL;
  ASSERT_TRUE(o.write(kIdentity));
  const std::vector<double> words = o.polygons().at(0);
  // Walk the quadratic pieces (type 2, two points each), sampling each, and measure against
  // the exact cubic quarters (coarse nearest sample, refined by ternary search).
  std::vector<Pt> traced;
  double area = 0;
  Pt current{words[0], words[1]};
  for (size_t k = 2; k < words.size(); k += 6) {
    ASSERT_EQ(words[k], 2);
    ASSERT_EQ(words[k + 1], 2);
    const Pt control{words[k + 2], words[k + 3]}, end{words[k + 4], words[k + 5]};
    for (int i = 1; i <= 16; ++i) {
      const double t = i / 16.0, u = 1 - t;
      traced.push_back(u * u * current + 2 * u * t * control + t * t * end);
    }
    area += outlina::cross(current, end);
    current = end;
  }
  EXPECT_LT(area, 0);
  const double cx[4][4] = {{C + R, C + R, C + K, C},
                           {C, C - K, C - R, C - R},
                           {C - R, C - R, C - K, C},
                           {C, C + K, C + R, C + R}};
  const double cy[4][4] = {{C, C + K, C + R, C + R},
                           {C + R, C + R, C + K, C},
                           {C, C - K, C - R, C - R},
                           {C - R, C - R, C - K, C}};
  auto distance = [&](int q, double t, Pt p) {
    const double u = 1 - t, w[4] = {u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t};
    double x = 0, y = 0;
    for (int i = 0; i < 4; ++i) x += w[i] * cx[q][i], y += w[i] * cy[q][i];
    return std::hypot(p.x - x, p.y - y);
  };
  double worst = 0;
  for (Pt p : traced) {
    double best = 1e300;
    for (int q = 0; q < 4; ++q) {
      int nearest = 0;
      for (int i = 1; i <= 200; ++i)
        if (distance(q, i / 200.0, p) < distance(q, nearest / 200.0, p)) nearest = i;
      double lo = std::max(0.0, (nearest - 1) / 200.0), hi = std::min(1.0, (nearest + 1) / 200.0);
      for (int k = 0; k < 60; ++k) {
        const double m1 = lo + (hi - lo) / 3, m2 = hi - (hi - lo) / 3;
        if (distance(q, m1, p) < distance(q, m2, p))
          hi = m2;
        else
          lo = m1;
      }
      best = std::min(best, distance(q, lo, p));
    }
    worst = std::max(worst, best);
  }
  EXPECT_LE(worst, 0.5);
  EXPECT_LE(traced.size() / 16, 64u);
}

TEST(NativeWriter, CoordinatesBeyondSixteenBitsAreRefused) {
  Outline o;
  o.contour({{0, 0, ON}, {0, 20000, ON}, {20000, 0, ON}});
  EXPECT_TRUE(o.write(kIdentity));
  EXPECT_FALSE(o.write({2, 0, 0, 0, 2, 0}));
}

}  // namespace
