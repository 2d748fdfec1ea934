// FreeType outlines written as native records.
#include "font/native_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
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
  bool write(const outlina::FontAffine &map) {
    const FT_Outline o{static_cast<short>(ends.size()),
                       static_cast<short>(points.size()),
                       points.data(),
                       tags.data(),
                       ends.data(),
                       flags};
    return outlina::fontWriteNativeOutline(o, map, scratch);
  }
  // The only polygon as {start, then per record: type, count, points}, in plain numbers.
  std::vector<double> polygon() const {
    EXPECT_EQ(word(0), scratch.used);
    std::vector<double> words = {fixed(8), fixed(12)};
    for (uint32_t k = 16; k < scratch.used;) {
      const uint32_t head = word(k), count = head >> 16;
      words.insert(words.end(), {double(head & 0xFFFF), double(count)});
      for (uint32_t i = 0; i < 2 * count; ++i) words.push_back(fixed(k + 4 + 4 * i));
      k += 4 + 8 * count;
    }
    return words;
  }
  uint32_t word(uint32_t at) const {
    uint32_t v;
    std::memcpy(&v, scratch.buffer + at, 4);
    return v;
  }
  double fixed(uint32_t at) const { return static_cast<int32_t>(word(at)) / 65536.0; }
};

constexpr outlina::FontAffine kIdentity{1, 0, 0, 0, 1, 0};
constexpr int ON = FT_CURVE_TAG_ON, CUBIC = FT_CURVE_TAG_CUBIC;

TEST(NativeWriter, CubicsBecomeClockwiseQuadraticsWithinHalfAUnitAndLargeCoordinatesFail) {
  // A counter-clockwise circle of four cubics, as CFF outlines run: each quarter is the first
  // turned by a further quarter turn about the centre.
  constexpr int R = 4000, C = 5000, K = 2209;  // K = 0.5523 R
  Outline o;
  std::vector<Pt> cubics;  // start, control, control of each quarter; the start again at the end
  for (int q = 0; q < 4; ++q)
    for (Pt p : {Pt{R, 0}, Pt{R, K}, Pt{K, R}}) {
      for (int i = 0; i < q; ++i) p = Pt{-p.y, p.x};
      o.points.push_back({static_cast<FT_Pos>(C + p.x), static_cast<FT_Pos>(C + p.y)});
      o.tags.push_back(static_cast<char>(cubics.size() % 3 == 0 ? ON : CUBIC));
      cubics.push_back({C + p.x, C + p.y});
    }
  cubics.push_back(cubics[0]);
  o.ends.push_back(11);
  o.flags = FT_OUTLINE_REVERSE_FILL;
  ASSERT_TRUE(o.write(kIdentity));
  // The exact cubics as a fine polyline (sagitta far below a hundredth of a unit).
  std::vector<Pt> exact;
  for (size_t q = 0; q + 3 < cubics.size(); q += 3)
    for (int i = 0; i <= 400; ++i) {
      const double t = i / 400.0, u = 1 - t;
      exact.push_back(u * u * u * cubics[q] + 3 * u * u * t * cubics[q + 1] +
                      3 * u * t * t * cubics[q + 2] + t * t * t * cubics[q + 3]);
    }
  auto distance = [&](Pt p) {
    double best = 1e300;
    for (size_t i = 1; i < exact.size(); ++i) {
      const Pt a = exact[i - 1], d = exact[i] - a;
      const double t = std::clamp(outlina::dot(p - a, d) / outlina::dot(d, d), 0.0, 1.0);
      const Pt e = p - (a + t * d);
      best = std::min(best, std::hypot(e.x, e.y));
    }
    return best;
  };
  // Walk the quadratic pieces (type 2, two points each), sampling each.
  const std::vector<double> words = o.polygon();
  double area = 0, worst = 0;
  Pt current{words[0], words[1]};
  for (size_t k = 2; k < words.size(); k += 6) {
    ASSERT_TRUE(words[k] == 2 && words[k + 1] == 2) << k;
    const Pt control{words[k + 2], words[k + 3]}, end{words[k + 4], words[k + 5]};
    for (double t = 1 / 16.0, u = 1 - t; t <= 1; t += 1 / 16.0, u = 1 - t)
      worst = std::max(worst, distance(u * u * current + 2 * u * t * control + t * t * end));
    area += outlina::cross(current, end);
    current = end;
  }
  EXPECT_LT(area, 0);
  EXPECT_LE(worst, 0.5);
  EXPECT_LE(words.size() / 6, 64u);
  // Coordinates beyond sixteen bits are refused.
  EXPECT_FALSE(o.write({4, 0, 0, 0, 4, 0}));
}

}  // namespace
