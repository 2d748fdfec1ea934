#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <tuple>

#include "support/path_builder.h"

namespace {

using namespace testing_support;

using Box = std::array<float, 4>;

Box boxOf(const JVect *path, int32_t index) {
  Box box{-1, -1, -1, -1};
  EXPECT_EQ(jVectGetMinMax(box.data(), path, index), box.data());
  return box;
}

// A counter-clockwise circle of radius 10 about the origin from two three-point arcs.
PathPtr arcCircle() {
  return makePath({{1, 10, 0}, {21, 0, 10}, {22, -10, 0}, {21, 0, -10}, {22, 10, 0}});
}

TEST(GetMinMax, CubicBoxFollowsTheCurveNotItsControls) {
  auto path = makePath(
      {{1, 0, 0}, {41, -6, 8}, {42, 16, 8}, {43, 10, 0}, {41, 16, -8}, {42, -6, -8}, {43, 0, 0}});
  // The extremes of x(t) = -24 t u^2 + 64 t^2 u - 10 t^2 (1 - 2t) over the 32 samples.
  float minX = 0, maxX = 0;
  for (int32_t i = 0; i <= 32; ++i) {
    const double t = i / 32.0, u = 1 - t;
    const float x = static_cast<float>(-24 * t * u * u + 64 * t * t * u - 10 * t * t * (1 - 2 * t));
    minX = std::fmin(minX, x), maxX = std::fmax(maxX, x);
  }
  const Box box = boxOf(path.get(), 3);
  EXPECT_NEAR(box[0], minX, 1e-5);
  EXPECT_NEAR(box[2], maxX, 1e-5);
  EXPECT_TRUE(box[1] == -8.0f && box[3] == 8.0f);  // reached at t = 1/2, the controls' midpoint
  const Box circle = boxOf(arcCircle().get(), 0);
  for (int32_t k = 0; k < 4; ++k) EXPECT_NEAR(std::fabs(circle[k]), 10.0f, 1e-4) << k;
}

TEST(GetMinMax, WholePathOrOneContourAndZerosOtherwise) {
  const Points points{{2, -3, 40}, {1, 0, 0},  {2, 10, 0},  {2, 10, 10}, {2, 0, 0},
                      {1, 20, 5},  {2, 30, 5}, {21, 25, 5}, {22, 20, 5}};
  auto path = makePath(points);
  EXPECT_EQ(boxOf(path.get(), -2), (Box{20, 5, 30, 5}));  // a failed arc runs through its middle
  // The whole path judges the point before the first start too, against the zero box.
  EXPECT_EQ(boxOf(path.get(), -1), (Box{-3, 0, 30, 40}));
  for (int32_t bad : {0, 9, -3}) EXPECT_EQ(boxOf(path.get(), bad), (Box{0, 0, 0, 0})) << bad;
  EXPECT_EQ(jVectGetMinMax(nullptr, path.get(), -1), nullptr);
}

TEST(IsInsideAndLoopDir, WindingAndSenseAroundSquaresAndCurves) {
  Points square{{1, 0, 0}, {2, 10, 0}, {2, 10, 10}, {2, 0, 10}, {2, 0, 0}};
  auto ccw = makePath(square);
  auto open = makePath(Points(square.begin(), square.end() - 1));
  square.insert(square.end(), square.begin() + 1, square.end());
  auto twice = makePath(square);
  auto circle = arcCircle();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  // 2 inside a counter-clockwise contour, 1 inside a clockwise one, -1 outside, 0 on a stored
  // point or for a bad question.
  const std::tuple<const JVect *, int32_t, float, float, int32_t> cases[] = {
      {ccw.get(), 0, 5, 5, 2},        {ccw.get(), 2, 10, 10, 0},
      {ccw.get(), 5, 5, 5, 0},        {nullptr, 0, 5, 5, 0},
      {twice.get(), 0, 5, 5, -1},     {open.get(), 0, 5, 5, -1},
      {circle.get(), 0, 9.99f, 0, 2}, {circle.get(), 0, 7.1f, 7.1f, -1},
      {circle.get(), 0, 0, 10, 0},    {circle.get(), 0, nan, 5, -1},
  };
  for (const auto &[path, index, x, y, inside] : cases)
    EXPECT_EQ(jVectIsInside(path, index, x, y), inside) << x << " " << y;
  EXPECT_EQ(jVectGetLoopDir(circle.get(), 0), 2);
  jVectReverse(ccw.get(), 0);
  EXPECT_EQ(jVectIsInside(ccw.get(), 0, 5, 5), 1);
  EXPECT_EQ(jVectGetLoopDir(ccw.get(), -2), 1);
  EXPECT_EQ(jVectGetLoopDir(makePath({{1, 0, 3}, {2, 10, 3}}).get(), 0), 0);
  // A NaN point crosses nothing.
  auto bad = makePath({{1, 0, 0}, {2, 10, 0}, {2, nan, nan}, {2, 10, 10}, {2, 0, 10}, {2, 0, 0}});
  EXPECT_EQ(jVectGetLoopDir(bad.get(), 0), 2);
}

TEST(IsInside, QuadraticsAndVariantsMatchTheirCubicAndPlainForms) {
  auto quad = makePath({{1, 0, 0}, {31, 5, 7}, {33, 10, 0}, {3, 10, -3}, {13, 0, -3}, {2, 0, 0}});
  const Points cubicPoints{{1, 0, 0},   {41, 2.5f, 3.5f}, {42, 7.5f, 3.5f}, {43, 10, 0},
                           {2, 10, -3}, {12, 0, -3},      {2, 0, 0}};
  auto cubic = makePath(cubicPoints);
  EXPECT_EQ(boxOf(quad.get(), 0), boxOf(cubic.get(), 0));
  for (float y = -3.9f; y <= 4.0f; y += 0.25f)
    for (float x = -1.0f; x <= 11.0f; x += 0.5f)
      EXPECT_EQ(jVectIsInside(quad.get(), 0, x, y), jVectIsInside(cubic.get(), 0, x, y))
          << x << " " << y;
}

}  // namespace
