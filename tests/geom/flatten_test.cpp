// Curves to points and points to curves: flattening, arc splitting and the cubic fit.
#include "geom/flatten.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <tuple>
#include <vector>

#include "outlina/curve.h"
#include "outlina/fit.h"
#include "tests/geom/bezier_support.h"

namespace {

using namespace testing_support;

using outlina::Pt;

// A point array holding the given points, with room for 130 points in all.
std::vector<float> pts(std::initializer_list<float> xy) {
  std::vector<float> v(xy);
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
  auto seam = pts({-9.9939083f, 0.3489950f, -10, 0, -9.9939083f, -0.3489950f});
  ASSERT_EQ(jMathArcToLine(seam.data(), 1.5f), 4);
  EXPECT_NEAR(angleOf(seam, 1), 179.5, 1e-3);
  EXPECT_NEAR(angleOf(seam, 2), 181.0 - 360, 1e-3);
  EXPECT_EQ(seam[6], -9.9939083f);
  EXPECT_EQ(seam[7], -0.3489950f);
}

TEST(BezToLine, FollowsTheStandardBezierOfTheWidenedHandlesAndSkipsRepeats) {
  auto v = pts({1, 2, 4, 9, 11, -3, 7, 5});
  ASSERT_EQ(jMathBezToLine(v.data(), 32), 33);
  for (int32_t i = 0; i <= 32; ++i) {
    const Pt s = standardBezier({1, 2}, {4, 9}, {11, -3}, {7, 5}, i / 32.0);
    EXPECT_NEAR(v[2 * i], s.x, 1e-5) << i;
    EXPECT_NEAR(v[2 * i + 1], s.y, 1e-5) << i;
  }
  auto zero = pts({0, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(jMathBezToLine(zero.data(), 32), 1);
  auto none = pts({0, 0, 5, 5, 6, 6, 0.1f, 0.3f});
  EXPECT_EQ(jMathBezToLine(none.data(), 0), 2);
  EXPECT_EQ(none[2], 0.1f);
  EXPECT_EQ(jMathBezToLine(nullptr, 8), 0);
}

TEST(BezierDis, NearestOfTheCurveToThePoint) {
  const float seg[8] = {0, 0, 3, 6, 9, 6, 12, 0};
  EXPECT_EQ(jMathBezierDis(seg, 0, 0), 0.0);
  EXPECT_EQ(jMathBezierDis(seg, 6, 6), 0.0);  // the middle of the curve is the controls' midpoint
  EXPECT_NEAR(jMathBezierDis(seg, 17, 0), 5.0, 1e-9);  // beyond the end, where x is largest
  EXPECT_EQ(jMathBezierDis(nullptr, 0, 0), -1.0);
}

TEST(LineToBezier, ShortStraightAndDegenerateRuns) {
  // Equal distances from the start: the control point is the chord's midpoint.
  float equal[8] = {0, 0, 1, 0, 0, 1};
  int32_t count = 3;
  EXPECT_EQ(jMathLineToBezier(&count, equal), 0.0);
  EXPECT_TRUE(count == 3 && equal[2] == 0.0f && equal[3] == 0.5f);
  EXPECT_EQ(jMathLineToBezier(nullptr, equal), 0.0);

  // Runs on one axis-parallel line, or of one repeated point, become a straight segment to the
  // last point.
  float vertical[10] = {3, 1, 3, 7, 3, -2, 3, 4, 3, 9}, same[8] = {5, 5, 5, 5, 5, 5, 5, 5};
  for (auto [run, n, last] : {std::tuple{vertical, 5, 9.0f}, {same, 4, 5.0f}}) {
    count = n;
    EXPECT_EQ(jMathLineToBezier(&count, run), 0.0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(run[3], last);
  }
}

TEST(LineToBezier, RecoversSampledCubics) {
  const Pt arch[4] = {{0, 0}, {30, 60}, {90, 60}, {100, 0}},
           wave[4] = {{0, 0}, {40, 30}, {60, -30}, {100, 0}};
  for (const Pt *c : {arch, wave}) {
    for (int n : {4, 9, 21, 33}) {
      std::vector<float> run;
      for (int i = 0; i < n; ++i) {
        const Pt p = standardBezier(c[0], c[1], c[2], c[3], static_cast<double>(i) / (n - 1));
        run.insert(run.end(), {static_cast<float>(p.x), static_cast<float>(p.y)});
      }
      std::vector<float> pts = run;
      pts.resize(std::max<size_t>(pts.size(), 8));
      int32_t count = n;
      jMathLineToBezier(&count, pts.data());
      ASSERT_EQ(count, 4) << n;
      EXPECT_EQ(pts[0], run[0]);
      EXPECT_EQ(pts[6], run[2 * n - 2]);
      EXPECT_EQ(pts[7], run[2 * n - 1]);
      // Enough samples of the arch give its controls back.
      if (c == arch && n >= 21) {
        for (int i = 2; i < 6; ++i)
          EXPECT_NEAR(pts[i], i % 2 ? arch[i / 2].y : arch[i / 2].x, 0.5) << n;
      }
    }
  }
}

}  // namespace
