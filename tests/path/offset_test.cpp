#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "frame/plinth_fault.h"
#include "outlina/offset.h"
#include "support/path_builder.h"
#include "tests/path/outline_area.h"

namespace {

using testing_support::contourAreas;
using testing_support::makePath;
using testing_support::P;
using testing_support::PathPtr;
using testing_support::pointsOf;

// The square of side 10, clockwise with y up (direction 1), so that positive distances grow it.
PathPtr clockwiseSquare(uint32_t tag = 0) {
  return makePath({{1, 0, 0, tag}, {2, 0, 10}, {2, 10, 10}, {2, 10, 0}, {2, 0, 0}});
}

PathPtr lineLoop() { return makePath({{1, 0, 0}, {2, 10, 0}, {2, 0, 0}}); }

std::vector<P> offsetOf(PathPtr path, float d, int32_t cap, int32_t join, float limit,
                        int32_t axis = JVO_BOTH) {
  EXPECT_EQ(jVectOffsetPath(path.get(), d, cap, join, limit, axis), 1);
  return pointsOf(path.get());
}

TEST(OffsetPath, SquareGrowsWithMiterCornersOrBevelsThemPastTheLimit) {
  EXPECT_EQ(offsetOf(clockwiseSquare(), 1, JVC_FLAT, JVJ_MITER, 4),
            (std::vector<P>{{1, -1, -1}, {2, -1, 11}, {2, 11, 11}, {2, 11, -1}, {2, -1, -1}}));
  const std::vector<P> bevel{{1, 0, -1}, {2, -1, 0}, {2, -1, 10}, {2, 0, 11}, {2, 10, 11},
                             {2, 11, 10}, {2, 11, 0}, {2, 10, -1}, {2, 0, -1}};
  EXPECT_EQ(offsetOf(clockwiseSquare(), 1, JVC_FLAT, JVJ_BEVEL, 4), bevel);
  // A right angle's miter reaches the square root of 2 times the distance.
  EXPECT_EQ(offsetOf(clockwiseSquare(), 1, JVC_FLAT, JVJ_MITER, 1), bevel);
  // Inward, every corner of the square is concave and the miter point is the crossing.
  EXPECT_EQ(offsetOf(clockwiseSquare(), -1, JVC_FLAT, JVJ_ROUND, 1),
            (std::vector<P>{{1, 1, 1}, {2, 1, 9}, {2, 9, 9}, {2, 9, 1}, {2, 1, 1}}));
}

TEST(OffsetPath, RoundJoinsMakeOneCubicOfTheDistancesRadiusPerCorner) {
  const std::vector<P> out = offsetOf(clockwiseSquare(), 1, JVC_FLAT, JVJ_ROUND, 4);
  ASSERT_EQ(out.size(), 17u);
  const float corners[4][2] = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
  for (int c = 0; c < 4; ++c) {
    const P *seg = &out[4 * c];
    EXPECT_EQ(seg[0].mode, c == 0 ? 1 : 2);
    EXPECT_EQ(seg[1].mode, 41);
    EXPECT_EQ(seg[2].mode, 42);
    EXPECT_EQ(seg[3].mode, 43);
    const double mx = (seg[1].x + seg[2].x) * 0.5, my = (seg[1].y + seg[2].y) * 0.5;
    EXPECT_NEAR(std::hypot(seg[0].x - corners[c][0], seg[0].y - corners[c][1]), 1, 1e-6);
    EXPECT_NEAR(std::hypot(seg[3].x - corners[c][0], seg[3].y - corners[c][1]), 1, 1e-6);
    EXPECT_NEAR(std::hypot(mx - corners[c][0], my - corners[c][1]), 1, 1e-5);
  }
  EXPECT_EQ(out[16], (P{2, 0, -1}));
}

TEST(OffsetPath, ForwardAndBackLineGetsFlatSquareOrRoundCaps) {
  EXPECT_EQ(offsetOf(lineLoop(), 1, JVC_FLAT, JVJ_MITER, 4),
            (std::vector<P>{{1, 0, -1}, {2, 0, 1}, {2, 10, 1}, {2, 10, -1}, {2, 0, -1}}));
  EXPECT_EQ(offsetOf(lineLoop(), 1, JVC_SQUARE, JVJ_MITER, 4),
            (std::vector<P>{{1, -1, -1}, {2, -1, 1}, {2, 11, 1}, {2, 11, -1}, {2, -1, -1}}));
  EXPECT_EQ(offsetOf(lineLoop(), 1, JVC_ROUND, JVJ_MITER, 4),
            (std::vector<P>{{1, 0, -1},
                            {41, -1, -1},
                            {42, -1, 1},
                            {43, 0, 1},
                            {2, 10, 1},
                            {41, 11, 1},
                            {42, 11, -1},
                            {43, 10, -1},
                            {2, 0, -1}}));
}

TEST(OffsetPath, AxisChoiceMovesOnlyThatComponent) {
  EXPECT_EQ(offsetOf(clockwiseSquare(), 1, JVC_FLAT, JVJ_MITER, 4, JVO_X),
            (std::vector<P>{{1, -1, 0}, {2, -1, 10}, {2, 11, 10}, {2, 11, 0}, {2, -1, 0}}));
  EXPECT_EQ(offsetOf(clockwiseSquare(), 1, JVC_FLAT, JVJ_MITER, 4, JVO_Y),
            (std::vector<P>{{1, 0, -1}, {2, 0, 11}, {2, 10, 11}, {2, 10, -1}, {2, 0, -1}}));
}

TEST(OffsetPath, CarriesTagsAndDropsNoiseContours) {
  auto path = makePath({{1, 0, 0, 7}, {2, 0, 10}, {2, 10, 10}, {2, 10, 0}, {2, 0, 0},
                        {1, 50, 50, 3}, {2, 60, 50}, {2, 55, 55},
                        {1, 20, 0, 9}, {2, 20, 10}, {2, 30, 10}, {2, 30, 0}, {2, 20, 0}});
  const std::vector<P> out = offsetOf(std::move(path), 1, JVC_FLAT, JVJ_MITER, 4);
  ASSERT_EQ(out.size(), 10u);
  EXPECT_EQ(out[0], (P{1, -1, -1, 7}));
  EXPECT_EQ(out[5], (P{1, 19, -1, 9}));
  EXPECT_EQ(out[9], (P{2, 19, -1}));
}

TEST(OffsetPath, FlattenedCurvesKeepTheirPointsUnlessTheOffsetFoldsThem) {
  // A counter-clockwise circle of radius 5 as one flattened run; positive distances move it
  // toward its centre.
  std::vector<P> circle{{1, 5, 0}};
  for (int i = 1; i < 36; ++i) {
    const double a = i * 3.14159265358979 / 18;
    circle.push_back({11, static_cast<float>(5 * std::cos(a)), static_cast<float>(5 * std::sin(a))});
  }
  circle.push_back({12, 5, 0});
  auto build = [&] {
    PathPtr path(jVectOpen(64));
    for (const P &p : circle) jVectAddPoint(path.get(), JVECT_LAST, p.mode, p.x, p.y);
    return path;
  };
  const std::vector<P> inner = offsetOf(build(), 4, JVC_FLAT, JVJ_MITER, 4);
  int bends = 0;
  for (const P &p : inner) {
    if (p.mode != 11) continue;
    ++bends;
    EXPECT_NEAR(std::hypot(p.x, p.y), 1.0, 0.02);
  }
  EXPECT_EQ(bends, 35);
  for (const P &p : offsetOf(build(), 6, JVC_FLAT, JVJ_MITER, 4)) EXPECT_NE(p.mode, 11);
}

TEST(OffsetPath, SharpPointInsideAFlattenedRunBecomesARoundCorner) {
  // Counter-clockwise triangle whose sharp tip at (10, 0) is an inner point of a flattened run.
  const std::vector<P> out = offsetOf(
      makePath({{1, 0, 0}, {11, 10, 0}, {12, 2, 3}, {2, 0, 0}}), -0.5f, JVC_FLAT, JVJ_MITER, 4);
  std::vector<int> modes;
  for (const P &p : out) modes.push_back(p.mode);
  ASSERT_GE(modes.size(), 5u);
  EXPECT_EQ(std::vector<int>(modes.begin() + 1, modes.begin() + 5), (std::vector<int>{12, 41, 42, 43}));
}

TEST(OffsetPath, ConvexPolygonGrowsByPerimeterTimesDistancePlusItsCorners) {
  const std::vector<P> polygon{{1, 0, 0}, {2, 2, 8}, {2, 9, 11}, {2, 14, 6}, {2, 11, -2}, {2, 0, 0}};
  const size_t sides = polygon.size() - 1;
  double area = 0, perimeter = 0;
  std::vector<double> turns;
  for (size_t i = 0; i < sides; ++i) {
    const P &p = polygon[i], &q = polygon[i + 1], &r = polygon[(i + 1) % sides + 1];
    area += 0.5 * (p.x * q.y - q.x * p.y);
    perimeter += std::hypot(q.x - p.x, q.y - p.y);
    turns.push_back(std::fabs(std::remainder(
        std::atan2(double{r.y} - q.y, double{r.x} - q.x) -
            std::atan2(double{q.y} - p.y, double{q.x} - p.x), 2 * 3.14159265358979)));
  }
  for (float d : {0.5f, 1.5f, 3.0f}) {
    // Each corner adds a sector of its turn; a corner too tight for its handles (the side's
    // end within the square root of 0.1 of the miter point) keeps the miter instead.
    double corners = 0;
    for (double a : turns) {
      const double reach = d * std::tan(a / 2);
      corners += reach * reach > 0.1 ? d * d * a / 2 : d * reach;
    }
    PathPtr path(jVectOpen(16));
    for (const P &p : polygon) jVectAddPoint(path.get(), JVECT_LAST, p.mode, p.x, p.y);
    const std::vector<double> areas = contourAreas(offsetOf(std::move(path), d, JVC_FLAT, JVJ_ROUND, 4));
    ASSERT_EQ(areas.size(), 1u);
    // Clockwise outlines have negative signed area.
    EXPECT_NEAR(-areas[0], -area + perimeter * d + corners, 2e-3 * d * d + 1e-4) << d;
  }
}

TEST(OffsetPath, RefusesNullAndUnknownCodesAndKeepsEmptyPathsEmpty) {
  EXPECT_EQ(jVectOffsetPath(nullptr, 1, JVC_FLAT, JVJ_MITER, 4, JVO_BOTH), 0);
  auto path = clockwiseSquare();
  const std::vector<P> before = pointsOf(path.get());
  for (auto [cap, join] : {std::pair{0, 4}, {4, 4}, {1, 3}, {1, 7}}) {
    EXPECT_EQ(jVectOffsetPath(path.get(), 1, cap, join, 4, JVO_BOTH), 0);
    EXPECT_EQ(pointsOf(path.get()), before);
  }
  auto empty = makePath({});
  EXPECT_EQ(jVectOffsetPath(empty.get(), 1, JVC_FLAT, JVJ_MITER, 4, JVO_BOTH), 1);
  EXPECT_EQ(jVectGetNum(empty.get()), 0);
}

TEST(OffsetPath, SurvivesDegenerateAndNonFiniteInput) {
  auto path = makePath({{2, 1, 1}, {1, 0, 0}, {2, 0, 0}, {2, 0, 0}, {2, 0, 0}, {2, 0, 0},
                        {1, 5, 5}, {21, 5, 5}, {22, 5, 5}, {2, 6, 6}, {2, 5, 5},
                        {1, 0, 0}, {41, 1, 1}, {42, 2, 2}, {43, 3, 3}, {2, 0, 0}, {99, 4, 4}});
  EXPECT_EQ(jVectOffsetPath(path.get(), 1, JVC_ROUND, JVJ_ROUND, 4, JVO_BOTH), 1);
  auto huge = clockwiseSquare();
  EXPECT_EQ(jVectOffsetPath(huge.get(), NAN, JVC_ROUND, JVJ_ROUND, NAN, 7), 1);
  auto wide = lineLoop();
  EXPECT_EQ(jVectOffsetPath(wide.get(), 3e38f, JVC_SQUARE, JVJ_MITER, 3e38f, JVO_BOTH), 1);
}

TEST(OffsetPath, AllocationFailuresReturnZeroOrFinishTheSameOffset) {
  const std::vector<P> expected = offsetOf(lineLoop(), 1, JVC_ROUND, JVJ_ROUND, 4);
  for (int32_t n = 1;; ++n) {
    auto path = lineLoop();
    jMemTestFailNth(n);
    const int32_t result = jVectOffsetPath(path.get(), 1, JVC_ROUND, JVJ_ROUND, 4, JVO_BOTH);
    const bool fired = jMemTestArmed() == 0;
    jMemTestFailNth(0);
    if (!fired) {
      EXPECT_EQ(result, 1);
      EXPECT_EQ(pointsOf(path.get()), expected);
      break;
    }
    ASSERT_LT(n, 50);
  }
}

}  // namespace
