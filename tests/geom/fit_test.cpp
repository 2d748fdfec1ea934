#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <tuple>
#include <vector>

#include "outlina/fit.h"
#include "tests/geom/bezier_support.h"

namespace {

using Cubic = std::array<outlina::Pt, 4>;

outlina::Pt pointOf(const Cubic &c, double t) {
  return testing_support::standardBezier(c[0], c[1], c[2], c[3], t);
}

std::vector<float> sampleCubic(const Cubic &c, int n) {
  std::vector<float> pts;
  for (int i = 0; i < n; ++i) {
    const outlina::Pt p = pointOf(c, static_cast<double>(i) / (n - 1));
    pts.insert(pts.end(), {static_cast<float>(p.x), static_cast<float>(p.y)});
  }
  return pts;
}

// Sum over the run's points 1 .. n-1 of the least distance to 37 curve samples, over n.
double meanError(const std::vector<float> &run, const float *seg) {
  const int n = static_cast<int>(run.size() / 2);
  const Cubic c{{{seg[0], seg[1]}, {seg[2], seg[3]}, {seg[4], seg[5]}, {seg[6], seg[7]}}};
  double sum = 0.0;
  for (int j = 1; j < n; ++j) {
    double best = INFINITY;
    for (int i = 0; i <= 36; ++i) {
      const outlina::Pt p = pointOf(c, i / 36.0);
      best = std::fmin(best, std::hypot(p.x - run[2 * j], p.y - run[2 * j + 1]));
    }
    sum += best;
  }
  return sum / n;
}

TEST(LineToBezier, ShortStraightAndDegenerateRuns) {
  float pts[8] = {1, 2, 3, 4, 9, 9, 9, 9};
  int32_t count = 2;
  EXPECT_EQ(jMathLineToBezier(&count, pts), 0.0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(pts[2], 3.0f);
  EXPECT_EQ(jMathLineToBezier(nullptr, pts), 0.0);
  EXPECT_EQ(jMathLineToBezier(&count, nullptr), 0.0);

  // Equal distances from the start: the control point is the chord's midpoint.
  float equal[8] = {0, 0, 1, 0, 0, 1};
  count = 3;
  EXPECT_EQ(jMathLineToBezier(&count, equal), 0.0);
  EXPECT_EQ(count, 3);
  EXPECT_TRUE(equal[2] == 0.0f && equal[3] == 0.5f) << equal[2] << " " << equal[3];
  // Otherwise the quadratic passes at its middle through the point on the ray from the start
  // through the middle point, half the chord's length away.
  float bent[8] = {0, 0, 2, 0, 3, 1};
  ASSERT_EQ(jMathLineToBezier(&count, bent), 0.0);
  EXPECT_NEAR((2.0 * bent[2] + 3.0) / 4.0, std::hypot(3.0, 1.0) / 2.0, 1e-6);
  EXPECT_NEAR((2.0 * bent[3] + 1.0) / 4.0, 0.0, 1e-6);

  // Runs on one vertical or horizontal line, or of one repeated point, become a straight
  // segment to the last point.
  float vertical[10] = {3, 1, 3, 7, 3, -2, 3, 4, 3, 9}, horizontal[8] = {1, 5, 4, 5, 2, 5, 8, 5};
  float same[8] = {5, 5, 5, 5, 5, 5, 5, 5};
  for (auto [run, n, index, last] : {std::tuple{vertical, 5, 3, 9.0f}, {horizontal, 4, 2, 8.0f}, {same, 4, 2, 5.0f}}) {
    count = n;
    EXPECT_EQ(jMathLineToBezier(&count, run), 0.0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(run[index], last);
  }

  // A diagonal has parallel tangents and skips the scan; the grids stay on the line.
  float diagonal[10] = {0, 0, 1, 1, 2, 2, 3, 3, 4, 4};
  count = 5;
  EXPECT_LT(jMathLineToBezier(&count, diagonal), 0.05);
  ASSERT_EQ(count, 4);
  EXPECT_EQ(diagonal[6], 4.0f);
  EXPECT_EQ(diagonal[2], diagonal[3]);
  EXPECT_EQ(diagonal[4], diagonal[5]);
  float bad[10] = {0, 0, NAN, 1, 2, INFINITY, 3, 1, 4, 0};
  count = 5;
  jMathLineToBezier(&count, bad);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(bad[6], 4.0f);
}

TEST(LineToBezier, RecoversSampledCubicsAndReportsTheMeanError) {
  const Cubic arch{{{0, 0}, {30, 60}, {90, 60}, {100, 0}}}, wave{{{0, 0}, {40, 30}, {60, -30}, {100, 0}}};
  for (const auto *curve : {&arch, &wave}) {
    for (int n : {4, 9, 21, 33}) {
      const std::vector<float> run = sampleCubic(*curve, n);
      std::vector<float> pts = run;
      pts.resize(std::max<size_t>(pts.size(), 8));
      int32_t count = n;
      const double error = jMathLineToBezier(&count, pts.data());
      ASSERT_EQ(count, 4) << n;
      EXPECT_EQ(pts[0], run[0]);
      EXPECT_EQ(pts[6], run[2 * n - 2]);
      EXPECT_EQ(pts[7], run[2 * n - 1]);
      // Divided by n, not by the n - 1 points measured.
      EXPECT_NEAR(error, meanError(run, pts.data()), 1e-4) << n;
      // Enough samples of the arch give its controls back.
      if (curve == &arch && n >= 21) {
        for (int i = 2; i < 6; ++i) EXPECT_NEAR(pts[i], i % 2 ? arch[i / 2].y : arch[i / 2].x, 0.5) << n;
      }
    }
  }
}

}  // namespace
