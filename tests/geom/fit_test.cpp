#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "outlina/fit.h"

namespace {

struct XY {
  double x, y;
};

// The cubic through standard Bezier handles: the stored controls lie at three quarters of them.
XY standardCubic(XY p0, XY p1, XY p2, XY p3, double t) {
  const XY b1{p0.x + 4.0 / 3.0 * (p1.x - p0.x), p0.y + 4.0 / 3.0 * (p1.y - p0.y)};
  const XY b2{p3.x + 4.0 / 3.0 * (p2.x - p3.x), p3.y + 4.0 / 3.0 * (p2.y - p3.y)};
  const double u = 1.0 - t;
  return {u * u * u * p0.x + 3 * u * u * t * b1.x + 3 * u * t * t * b2.x + t * t * t * p3.x,
          u * u * u * p0.y + 3 * u * u * t * b1.y + 3 * u * t * t * b2.y + t * t * t * p3.y};
}

XY at(const std::vector<float> &pts, int i) { return {pts[2 * i], pts[2 * i + 1]}; }

std::vector<float> sampleCubic(XY p0, XY p1, XY p2, XY p3, int n) {
  std::vector<float> pts;
  for (int i = 0; i < n; ++i) {
    const XY v = standardCubic(p0, p1, p2, p3, static_cast<double>(i) / (n - 1));
    pts.push_back(static_cast<float>(v.x));
    pts.push_back(static_cast<float>(v.y));
  }
  return pts;
}

// Mean over the run's points 1 .. n-1 of the least distance to 37 curve samples, divided by n.
double meanErrorAgainst(const std::vector<float> &run, const float *seg) {
  const int n = static_cast<int>(run.size() / 2);
  const XY p0{seg[0], seg[1]}, p1{seg[2], seg[3]}, p2{seg[4], seg[5]}, p3{seg[6], seg[7]};
  double sum = 0.0;
  for (int j = 1; j < n; ++j) {
    double best = INFINITY;
    for (int i = 0; i <= 36; ++i) {
      const XY v = standardCubic(p0, p1, p2, p3, i / 36.0);
      best = std::fmin(best, std::hypot(v.x - run[2 * j], v.y - run[2 * j + 1]));
    }
    sum += best;
  }
  return sum / n;
}

TEST(LineToBezier, ShortRunsAndNullArgumentsAreLeftAlone) {
  float pts[8] = {1, 2, 3, 4, 9, 9, 9, 9};
  int32_t count = 2;
  EXPECT_EQ(jMathLineToBezier(&count, pts), 0.0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(pts[2], 3.0f);
  EXPECT_EQ(pts[4], 9.0f);
  EXPECT_EQ(jMathLineToBezier(nullptr, pts), 0.0);
  EXPECT_EQ(jMathLineToBezier(&count, nullptr), 0.0);
}

TEST(LineToBezier, ThreePointsBecomeTheQuadraticThroughTheMiddlePoint) {
  // Equal distances from the start: the control point is the chord's midpoint.
  float equal[8] = {0, 0, 1, 0, 0, 1};
  int32_t count = 3;
  EXPECT_EQ(jMathLineToBezier(&count, equal), 0.0);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(equal[2], 0.0f);
  EXPECT_EQ(equal[3], 0.5f);

  // Otherwise the quadratic passes at its middle through the point on the ray start->middle
  // at half the chord's length.
  float pts[8] = {0, 0, 2, 0, 3, 1};
  const double half = std::hypot(3.0, 1.0) / 2.0;
  ASSERT_EQ(jMathLineToBezier(&count, pts), 0.0);
  const double midX = (0.0 + 2.0 * pts[2] + 3.0) / 4.0, midY = (0.0 + 2.0 * pts[3] + 1.0) / 4.0;
  EXPECT_NEAR(midX, half, 1e-6);
  EXPECT_NEAR(midY, 0.0, 1e-6);
  EXPECT_EQ(pts[4], 3.0f);
}

TEST(LineToBezier, RunsOnOneAxisLineBecomeAStraightSegment) {
  float vertical[10] = {3, 1, 3, 7, 3, -2, 3, 4, 3, 9};
  int32_t count = 5;
  EXPECT_EQ(jMathLineToBezier(&count, vertical), 0.0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(vertical[2], 3.0f);
  EXPECT_EQ(vertical[3], 9.0f);

  float horizontal[8] = {1, 5, 4, 5, 2, 5, 8, 5};
  count = 4;
  EXPECT_EQ(jMathLineToBezier(&count, horizontal), 0.0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(horizontal[2], 8.0f);
  EXPECT_EQ(horizontal[3], 5.0f);
}

TEST(LineToBezier, DiagonalRunGivesACubicWithControlsOnTheDiagonal) {
  // Parallel tangents skip the scan; the grids start from the middle point and stay on the line.
  float pts[10] = {0, 0, 1, 1, 2, 2, 3, 3, 4, 4};
  int32_t count = 5;
  const double error = jMathLineToBezier(&count, pts);
  ASSERT_EQ(count, 4);
  EXPECT_EQ(pts[0], 0.0f);
  EXPECT_EQ(pts[6], 4.0f);
  EXPECT_EQ(pts[7], 4.0f);
  EXPECT_EQ(pts[2], pts[3]);
  EXPECT_EQ(pts[4], pts[5]);
  EXPECT_LT(error, 0.05);
}

TEST(LineToBezier, RecoversASampledCubicAndReportsItsMeanError) {
  const XY p0{0, 0}, p1{30, 60}, p2{90, 60}, p3{100, 0};
  for (int n : {4, 9, 21, 33}) {
    const std::vector<float> run = sampleCubic(p0, p1, p2, p3, n);
    std::vector<float> pts = run;
    pts.resize(std::max<size_t>(pts.size(), 8));
    int32_t count = n;
    const double error = jMathLineToBezier(&count, pts.data());
    ASSERT_EQ(count, 4) << n;
    EXPECT_EQ(pts[0], run[0]);
    EXPECT_EQ(pts[6], run[2 * n - 2]);
    EXPECT_EQ(pts[7], run[2 * n - 1]);
    // The error is a mean per point of the run, divided by n.
    EXPECT_NEAR(error, meanErrorAgainst(run, pts.data()), 1e-4) << n;
    // Enough samples give the stored controls back; the error, measured against 37 curve
    // samples about 5.5 units apart, stays near the mean nearest-sample distance.
    if (n >= 21) {
      EXPECT_NEAR(pts[2], 30.0, 0.5) << n;
      EXPECT_NEAR(pts[3], 60.0, 0.5) << n;
      EXPECT_NEAR(pts[4], 90.0, 0.5) << n;
      EXPECT_NEAR(pts[5], 60.0, 0.5) << n;
      EXPECT_LT(error, 1.5) << n;
    }
    // Every run point lies near the fitted curve.
    for (int j = 0; j < n; ++j) {
      double best = INFINITY;
      for (int i = 0; i <= 400; ++i) {
        const XY v = standardCubic(at(pts, 0), at(pts, 1), at(pts, 2), at(pts, 3), i / 400.0);
        best = std::fmin(best, std::hypot(v.x - run[2 * j], v.y - run[2 * j + 1]));
      }
      EXPECT_LT(best, 1.5) << "n " << n << " point " << j;
    }
  }
}

TEST(LineToBezier, SShapedRunStillGivesACubicThroughItsEnds) {
  // Tangents at both ends are parallel: the scan skips, the grid still produces a segment.
  const std::vector<float> run = sampleCubic({0, 0}, {40, 30}, {60, -30}, {100, 0}, 17);
  std::vector<float> pts = run;
  int32_t count = 17;
  const double error = jMathLineToBezier(&count, pts.data());
  ASSERT_EQ(count, 4);
  EXPECT_EQ(pts[6], 100.0f);
  EXPECT_TRUE(std::isfinite(error));
  EXPECT_NEAR(error, meanErrorAgainst(run, pts.data()), 1e-4);
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
  EXPECT_EQ(bad[0], 0.0f);
  EXPECT_EQ(bad[6], 4.0f);
}

}  // namespace
