#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "geom/constants.h"
#include "geom/flatten.h"
#include "outlina/curve.h"

namespace {

using outlina::kPi;
using outlina::Pt;

// A point array with the given leading points and room for `room` points in all.
std::vector<float> pointArray(std::initializer_list<float> xy, size_t room) {
  std::vector<float> v(xy);
  v.resize(2 * room, -12345.0f);
  return v;
}

Pt at(const std::vector<float> &v, int32_t i) { return {v[2 * i], v[2 * i + 1]}; }

double radians(double degrees) { return degrees * kPi / 180.0; }

// The standard cubic Bezier with inner controls four thirds along the stored handles.
Pt standardBezier(Pt p0, Pt p1, Pt p2, Pt p3, double t) {
  const Pt b1 = p0 + (4.0 / 3.0) * (p1 - p0);
  const Pt b2 = p3 + (4.0 / 3.0) * (p2 - p3);
  const double u = 1.0 - t;
  return u * u * u * p0 + 3.0 * u * u * t * b1 + 3.0 * u * t * t * b2 + t * t * t * p3;
}

TEST(ArcToLine, QuarterCircleStepsFourDegreesFromStartToEnd) {
  auto v = pointArray({10.0f, 0.0f, 7.0710678f, 7.0710678f, 0.0f, 10.0f}, 122);
  ASSERT_EQ(jMathArcToLine(v.data(), 4.0f), 24);
  EXPECT_EQ(v[0], 10.0f);
  EXPECT_EQ(v[1], 0.0f);
  for (int32_t k = 1; k <= 22; ++k) {
    const double a = radians(4.0 * k);
    EXPECT_NEAR(v[2 * k], 10.0 * std::cos(a), 1e-4) << k;
    EXPECT_NEAR(v[2 * k + 1], 10.0 * std::sin(a), 1e-4) << k;
  }
  EXPECT_EQ(v[46], 0.0f);
  EXPECT_EQ(v[47], 10.0f);
}

TEST(ArcToLine, StepWiderThanTheRawAngleGapLeavesTheArc) {
  const auto before = pointArray({10.0f, 0.0f, 7.0710678f, 7.0710678f, 0.0f, 10.0f}, 4);
  auto v = before;
  EXPECT_EQ(jMathArcToLine(v.data(), 100.0f), 3);
  EXPECT_EQ(v, before);
  // Nearly a full turn whose ends lie 2 degrees apart: the raw angles decide, not the sweep.
  const double a = radians(10.0), e = radians(8.0);
  auto loop = pointArray({static_cast<float>(10 * std::cos(a)), static_cast<float>(10 * std::sin(a)),
                          -10.0f, 0.0f, static_cast<float>(10 * std::cos(e)),
                          static_cast<float>(10 * std::sin(e))},
                         4);
  const auto loopBefore = loop;
  EXPECT_EQ(jMathArcToLine(loop.data(), 3.0f), 3);
  EXPECT_EQ(loop, loopBefore);
}

TEST(ArcToLine, ArcAcrossTheAngleSeamUnwrapsItsEnd) {
  const double a = radians(178.0), e = radians(-178.0);
  auto v = pointArray({static_cast<float>(10 * std::cos(a)), static_cast<float>(10 * std::sin(a)),
                       -10.0f, 0.0f, static_cast<float>(10 * std::cos(e)),
                       static_cast<float>(10 * std::sin(e))},
                      250);
  const float ex = v[4], ey = v[5];
  ASSERT_EQ(jMathArcToLine(v.data(), 1.5f), 4);
  EXPECT_NEAR(std::atan2(v[3], v[2]), radians(179.5), 1e-5);
  EXPECT_NEAR(std::atan2(v[5], v[4]) + 2 * M_PI, radians(181.0), 1e-5);
  EXPECT_EQ(v[6], ex);
  EXPECT_EQ(v[7], ey);
}

TEST(ArcToLine, ClockwiseArcWalksDownThroughItsMiddle) {
  auto v = pointArray({-10.0f, 0.0f, 0.0f, 10.0f, 10.0f, 0.0f}, 122);
  // Sixty steps of the library's pi fall short of atan2's pi by a hair: a last computed point
  // just before the end is kept as well.
  const int32_t n = jMathArcToLine(v.data(), 3.0f);
  ASSERT_EQ(n, 62);
  EXPECT_NEAR(v[120], 10.0f, 1e-4);
  EXPECT_NEAR(v[121], 0.0f, 1e-4);
  for (int32_t i = 1; i < n; ++i) {
    EXPECT_LT(std::atan2(v[2 * i + 1], v[2 * i]), std::atan2(v[2 * i - 1], v[2 * i - 2]) + 1e-9);
    EXPECT_NEAR(std::hypot(v[2 * i], v[2 * i + 1]), 10.0, 1e-4);
  }
  EXPECT_NEAR(v[61], 10.0f, 1e-4);  // the point at 90 degrees, halfway
}

TEST(ArcToLine, DegenerateArcsAndStepsAreLeftAlone) {
  const std::vector<std::vector<float>> arcs = {
      {0, 0, 1, 1, 2, 2},          // collinear
      {0, 0, 0, 0, 5, 0},          // through point on the start
      {3, 4, 0, 5, 3, 4},          // zero length: the end is the start
      {0, 0, 0.01f, 0.01f, 0.02f, 0},  // radius below 0.1
  };
  for (const auto &arc : arcs) {
    auto v = pointArray({arc[0], arc[1], arc[2], arc[3], arc[4], arc[5]}, 122);
    const auto before = v;
    EXPECT_EQ(jMathArcToLine(v.data(), 3.0f), 3);
    EXPECT_EQ(jMathArcToBez(v.data()), 3);
    EXPECT_EQ(v, before);
  }
  auto v = pointArray({10.0f, 0.0f, 7.0710678f, 7.0710678f, 0.0f, 10.0f}, 122);
  const auto before = v;
  for (float step : {0.0f, -3.0f, std::numeric_limits<float>::quiet_NaN(), 1e-30f})
    EXPECT_EQ(jMathArcToLine(v.data(), step), 3);
  EXPECT_EQ(v, before);
  EXPECT_EQ(jMathArcToLine(nullptr, 3.0f), 0);
  EXPECT_EQ(jMathArcToBez(nullptr), 0);
}

TEST(ArcToLine, NonFiniteCoordinatesStayWithinTheRoom) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (float bad : {nan, inf, -inf}) {
    auto v = pointArray({bad, 0.0f, 0.0f, 10.0f, 10.0f, 0.0f}, 122);
    const int32_t n = jMathArcToLine(v.data(), 3.0f);
    EXPECT_GE(n, 1);
    EXPECT_LE(n, 122);
    auto w = pointArray({bad, 0.0f, 0.0f, 10.0f, 10.0f, 0.0f}, 13);
    const int32_t m = jMathArcToBez(w.data());
    EXPECT_TRUE(m == 3 || m == 4 || m == 7 || m == 10 || m == 13) << m;
  }
}

TEST(BezToLine, StraightCubicSpacesItsPointsByTheCubicForm) {
  auto v = pointArray({0, 0, 1, 0, 2, 0, 3, 0}, 5);
  ASSERT_EQ(jMathBezToLine(v.data(), 4), 5);
  const std::vector<float> expected = {0, 0, 0.84375f, 0, 1.5f, 0, 2.15625f, 0, 3, 0};
  EXPECT_EQ(v, expected);
}

TEST(BezToLine, RepeatedPointsAreSkippedAndTheEndKeepsItsBits) {
  auto zero = pointArray({0, 0, 0, 0, 0, 0, 0, 0}, 33);
  EXPECT_EQ(jMathBezToLine(zero.data(), 32), 1);
  // A non-positive count gives the start and the end only.
  auto line = pointArray({0, 0, 5, 5, 6, 6, 0.1f, 0.3f}, 4);
  EXPECT_EQ(jMathBezToLine(line.data(), 0), 2);
  EXPECT_EQ(line[2], 0.1f);
  EXPECT_EQ(line[3], 0.3f);
  auto back = pointArray({1, 2, 5, 5, 6, 6, 1, 2}, 4);
  EXPECT_EQ(jMathBezToLine(back.data(), -3), 1);
  EXPECT_EQ(jMathBezToLine(nullptr, 8), 0);
}

TEST(BezToLine, FollowsTheStandardBezierOfTheWidenedHandles) {
  const Pt p0{1, 2}, p1{4, 9}, p2{11, -3}, p3{7, 5};
  auto v = pointArray({1, 2, 4, 9, 11, -3, 7, 5}, 33);
  ASSERT_EQ(jMathBezToLine(v.data(), 32), 33);
  for (int32_t i = 0; i <= 32; ++i) {
    const Pt s = standardBezier(p0, p1, p2, p3, i / 32.0);
    EXPECT_NEAR(v[2 * i], s.x, 1e-5) << i;
    EXPECT_NEAR(v[2 * i + 1], s.y, 1e-5) << i;
  }
  const Pt mid = outlina::cubicAt(p0, p1, p2, p3, 0.5);
  EXPECT_EQ(mid.x, (p1.x + p2.x) / 2);
  EXPECT_EQ(mid.y, (p1.y + p2.y) / 2);
}

// Checks an arc's cubic segments: count, exact end, and every segment close to the circle.
void expectCircular(float endAngleDegrees, int32_t expectedCount) {
  const double e = radians(endAngleDegrees), m = e / 2;
  auto v = pointArray({10.0f, 0.0f, static_cast<float>(10 * std::cos(m)),
                       static_cast<float>(10 * std::sin(m)), static_cast<float>(10 * std::cos(e)),
                       static_cast<float>(10 * std::sin(e))},
                      13);
  const float end[2] = {v[4], v[5]};
  const int32_t n = jMathArcToBez(v.data());
  ASSERT_EQ(n, expectedCount) << endAngleDegrees;
  EXPECT_EQ(std::memcmp(&v[2 * (n - 1)], end, sizeof end), 0);
  for (int32_t s = 0; s + 3 < n; s += 3)
    for (int32_t k = 0; k <= 16; ++k) {
      const Pt p = outlina::cubicAt(at(v, s), at(v, s + 1), at(v, s + 2), at(v, s + 3), k / 16.0);
      EXPECT_NEAR(std::hypot(p.x, p.y), 10.0, 0.01) << endAngleDegrees << " " << s << " " << k;
    }
}

TEST(ArcToBez, SplitsArcsIntoUpToThreeSegmentsOnTheCircle) {
  expectCircular(100.0f, 4);
  expectCircular(180.0f, 7);
  expectCircular(300.0f, 10);
}

TEST(BezierDis, MeasuresToThirtySevenSamplesOfTheCurve) {
  const float seg[8] = {0, 0, 3, 6, 9, 6, 12, 0};
  EXPECT_EQ(jMathBezierDis(seg, 0, 0), 0.0);
  EXPECT_EQ(jMathBezierDis(seg, 6, 6), 0.0);  // V(1/2) is the midpoint of the controls
  double nearest = std::numeric_limits<double>::infinity();
  for (int32_t i = 0; i <= 36; ++i) {
    const Pt s = standardBezier({0, 0}, {3, 6}, {9, 6}, {12, 0}, i / 36.0);
    nearest = std::fmin(nearest, std::hypot(s.x - 20.0, s.y - 9.0));
  }
  EXPECT_NEAR(jMathBezierDis(seg, 20, 9), nearest, 1e-5);
  EXPECT_EQ(jMathBezierDis(nullptr, 0, 0), -1.0);
}

}  // namespace
