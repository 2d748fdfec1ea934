#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "outlina/fit.h"

namespace {

// A point of the cubic with the stored controls p1, p2, through standard Bezier handles.
std::pair<double, double> standardCubic(const double (&p)[8], double t) {
  const double u = 1.0 - t, k0 = u * u * u, k1 = 3 * u * u * t, k2 = 3 * u * t * t, k3 = t * t * t;
  auto axis = [&](int a) {
    const double b1 = p[a] + 4.0 / 3.0 * (p[2 + a] - p[a]), b2 = p[6 + a] + 4.0 / 3.0 * (p[4 + a] - p[6 + a]);
    return k0 * p[a] + k1 * b1 + k2 * b2 + k3 * p[6 + a];
  };
  return {axis(0), axis(1)};
}

std::vector<float> sampleCubic(const double (&p)[8], int n) {
  std::vector<float> pts;
  for (int i = 0; i < n; ++i) {
    const auto [x, y] = standardCubic(p, static_cast<double>(i) / (n - 1));
    pts.insert(pts.end(), {static_cast<float>(x), static_cast<float>(y)});
  }
  return pts;
}

// Sum over the run's points 1 .. n-1 of the least distance to 37 curve samples, over n.
double meanError(const std::vector<float> &run, const float *seg) {
  const int n = static_cast<int>(run.size() / 2);
  const double p[8] = {seg[0], seg[1], seg[2], seg[3], seg[4], seg[5], seg[6], seg[7]};
  double sum = 0.0;
  for (int j = 1; j < n; ++j) {
    double best = INFINITY;
    for (int i = 0; i <= 36; ++i) {
      const auto [x, y] = standardCubic(p, i / 36.0);
      best = std::fmin(best, std::hypot(x - run[2 * j], y - run[2 * j + 1]));
    }
    sum += best;
  }
  return sum / n;
}

TEST(LineToBezier, ShortRunsGiveLinesAndQuadratics) {
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
  EXPECT_EQ(equal[2], 0.0f);
  EXPECT_EQ(equal[3], 0.5f);
  // Otherwise the quadratic passes at its middle through the point on the ray from the start
  // through the middle point, half the chord's length away.
  float bent[8] = {0, 0, 2, 0, 3, 1};
  ASSERT_EQ(jMathLineToBezier(&count, bent), 0.0);
  EXPECT_NEAR((2.0 * bent[2] + 3.0) / 4.0, std::hypot(3.0, 1.0) / 2.0, 1e-6);
  EXPECT_NEAR((2.0 * bent[3] + 1.0) / 4.0, 0.0, 1e-6);

  // Runs on one vertical or horizontal line become a straight segment to the last point.
  float vertical[10] = {3, 1, 3, 7, 3, -2, 3, 4, 3, 9};
  count = 5;
  EXPECT_EQ(jMathLineToBezier(&count, vertical), 0.0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(vertical[3], 9.0f);
  float horizontal[8] = {1, 5, 4, 5, 2, 5, 8, 5};
  count = 4;
  EXPECT_EQ(jMathLineToBezier(&count, horizontal), 0.0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(horizontal[2], 8.0f);
}

TEST(LineToBezier, DiagonalRunGivesACubicWithControlsOnTheDiagonal) {
  // Parallel tangents skip the scan; the grids start from the middle point and stay on the line.
  float pts[10] = {0, 0, 1, 1, 2, 2, 3, 3, 4, 4};
  int32_t count = 5;
  EXPECT_LT(jMathLineToBezier(&count, pts), 0.05);
  ASSERT_EQ(count, 4);
  EXPECT_EQ(pts[6], 4.0f);
  EXPECT_EQ(pts[2], pts[3]);
  EXPECT_EQ(pts[4], pts[5]);
}

TEST(LineToBezier, RecoversSampledCubicsAndReportsTheMeanError) {
  const double arch[8] = {0, 0, 30, 60, 90, 60, 100, 0}, wave[8] = {0, 0, 40, 30, 60, -30, 100, 0};
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
        for (int i = 2; i < 6; ++i) EXPECT_NEAR(pts[i], arch[i], 0.5) << n;
      }
    }
  }
}

TEST(LineToBezier, NonFiniteOrCoincidentPointsGiveADefinedResult) {
  float same[8] = {5, 5, 5, 5, 5, 5, 5, 5};
  int32_t count = 4;
  EXPECT_EQ(jMathLineToBezier(&count, same), 0.0);
  EXPECT_EQ(count, 2);
  float bad[10] = {0, 0, NAN, 1, 2, INFINITY, 3, 1, 4, 0};
  count = 5;
  jMathLineToBezier(&count, bad);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(bad[6], 4.0f);
}

}  // namespace
