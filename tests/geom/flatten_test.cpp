#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "geom/constants.h"
#include "geom/flatten.h"
#include "outlina/curve.h"
#include "tests/geom/bezier_support.h"

namespace {

using namespace testing_support;

using outlina::Pt;

// A point array holding the given points, with room for `room` points in all.
std::vector<float> pts(std::initializer_list<float> xy, size_t room = 130) {
  std::vector<float> v(xy);
  v.resize(2 * room, -1.0f);
  return v;
}

// The point at `degrees` on the circle of radius 10 about the origin, as floats.
std::vector<float> onCircle(std::initializer_list<double> degrees) {
  std::vector<float> v;
  for (double d : degrees) {
    v.push_back(static_cast<float>(10 * std::cos(d * outlina::kPi / 180)));
    v.push_back(static_cast<float>(10 * std::sin(d * outlina::kPi / 180)));
  }
  v.resize(260, -1.0f);
  return v;
}

double angleOf(const std::vector<float> &v, int32_t i) {
  return std::atan2(v[2 * i + 1], v[2 * i]) * 180 / M_PI;
}

TEST(ArcToLine, StepsFromStartAndEndsExactlyAtTheEnd) {
  auto quarter = pts({10, 0, 7.0710678f, 7.0710678f, 0, 10});
  ASSERT_EQ(jMathArcToLine(quarter.data(), 4.0f), 24);
  for (int32_t k = 1; k <= 22; ++k) EXPECT_NEAR(angleOf(quarter, k), 4.0 * k, 1e-4) << k;
  EXPECT_EQ(quarter[46], 0.0f);
  EXPECT_EQ(quarter[47], 10.0f);
  // Across the seam of the angles: 178 through 180 to -178 degrees, the end moved up a turn.
  auto seam = onCircle({178, 180, -178});
  const float ex = seam[4], ey = seam[5];
  ASSERT_EQ(jMathArcToLine(seam.data(), 1.5f), 4);
  EXPECT_NEAR(angleOf(seam, 1), 179.5, 1e-3);
  EXPECT_NEAR(angleOf(seam, 2), 181.0 - 360, 1e-3);
  EXPECT_EQ(seam[6], ex);
  EXPECT_EQ(seam[7], ey);
}

TEST(ArcToLine, LeavesTheArcForAWideStepNoCircleOrABadStep) {
  const std::vector<std::vector<float>> arcs = {
      pts({10, 0, 7.0710678f, 7.0710678f, 0, 10}),  // step wider than the arc
      onCircle({10, 180, 8}),  // nearly a full turn, raw end angles within one step
      pts({0, 0, 1, 1, 2, 2}), pts({0, 0, 0, 0, 5, 0}), pts({3, 4, 0, 5, 3, 4}),
      pts({0, 0, 0.01f, 0.01f, 0.02f, 0})};  // collinear, doubled, zero length, tiny radius
  for (size_t i = 0; i < arcs.size(); ++i) {
    auto v = arcs[i];
    EXPECT_EQ(jMathArcToLine(v.data(), i == 0 ? 100.0f : 3.0f), 3) << i;
    if (i >= 2) {
      EXPECT_EQ(jMathArcToBez(v.data()), 3) << i;
    }
    EXPECT_EQ(v, arcs[i]) << i;
  }
  auto v = arcs[0];
  for (float step : {0.0f, -3.0f, std::numeric_limits<float>::quiet_NaN(), 1e-30f})
    EXPECT_EQ(jMathArcToLine(v.data(), step), 3);
  EXPECT_EQ(jMathArcToLine(nullptr, 3.0f), 0);
  EXPECT_EQ(jMathArcToBez(nullptr), 0);
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), INFINITY}) {
    auto line = pts({bad, 0, 0, 10, 10, 0});
    EXPECT_LE(jMathArcToLine(line.data(), 3.0f), 122);
    EXPECT_LE(jMathArcToBez(line.data()), 13);
  }
}

TEST(BezToLine, SpacesPointsByTheCubicFormAndSkipsRepeats) {
  auto straight = pts({0, 0, 1, 0, 2, 0, 3, 0}, 5);
  ASSERT_EQ(jMathBezToLine(straight.data(), 4), 5);
  EXPECT_EQ(straight, (std::vector<float>{0, 0, 0.84375f, 0, 1.5f, 0, 2.15625f, 0, 3, 0}));
  auto zero = pts({0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(jMathBezToLine(zero.data(), 32), 1);
  auto none = pts({0, 0, 5, 5, 6, 6, 0.1f, 0.3f});
  EXPECT_EQ(jMathBezToLine(none.data(), 0), 2);
  EXPECT_EQ(none[2], 0.1f);
  EXPECT_EQ(jMathBezToLine(nullptr, 8), 0);
}

TEST(BezToLine, FollowsTheStandardBezierOfTheWidenedHandles) {
  auto v = pts({1, 2, 4, 9, 11, -3, 7, 5});
  ASSERT_EQ(jMathBezToLine(v.data(), 32), 33);
  for (int32_t i = 0; i <= 32; ++i) {
    const Pt s = standardBezier({1, 2}, {4, 9}, {11, -3}, {7, 5}, i / 32.0);
    EXPECT_NEAR(v[2 * i], s.x, 1e-5) << i;
    EXPECT_NEAR(v[2 * i + 1], s.y, 1e-5) << i;
  }
  const float seg[8] = {0, 0, 3, 6, 9, 6, 12, 0};
  EXPECT_EQ(jMathBezierDis(seg, 0, 0), 0.0);
  EXPECT_EQ(jMathBezierDis(seg, 6, 6), 0.0);  // the middle of the curve is the controls' midpoint
  double nearest = INFINITY;
  for (int32_t i = 0; i <= 36; ++i) {
    const Pt s = standardBezier({0, 0}, {3, 6}, {9, 6}, {12, 0}, i / 36.0);
    nearest = std::fmin(nearest, std::hypot(s.x - 20.0, s.y - 9.0));
  }
  EXPECT_NEAR(jMathBezierDis(seg, 20, 9), nearest, 1e-5);
  EXPECT_EQ(jMathBezierDis(nullptr, 0, 0), -1.0);
}

TEST(ArcToBez, SplitsArcsIntoUpToThreeSegmentsOnTheCircle) {
  for (auto [sweep, count] : {std::pair{100.0, 4}, {180.0, 7}, {300.0, 10}}) {
    auto v = onCircle({0, sweep / 2, sweep});
    const float ex = v[4], ey = v[5];
    const int32_t n = jMathArcToBez(v.data());
    ASSERT_EQ(n, count) << sweep;
    EXPECT_EQ(v[2 * n - 2], ex);
    EXPECT_EQ(v[2 * n - 1], ey);
    for (int32_t s = 0; s + 3 < n; s += 3)
      for (int32_t k = 0; k <= 16; ++k) {
        auto p = [&](int32_t i) { return Pt{v[2 * (s + i)], v[2 * (s + i) + 1]}; };
        const Pt c = outlina::cubicAt(p(0), p(1), p(2), p(3), k / 16.0);
        EXPECT_NEAR(std::hypot(c.x, c.y), 10.0, 0.01) << sweep << " " << s << " " << k;
      }
  }
}

}  // namespace
