#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "outlina/offset.h"
#include "support/path_builder.h"
#include "tests/path/stroke_support.h"

namespace {

using namespace testing_support;

// The square of side 10 clockwise with y up (direction 1): positive distances grow it.
const Points kSquare{{1, 0, 0}, {2, 0, 10}, {2, 10, 10}, {2, 10, 0}, {2, 0, 0}};
// The forward-and-back loop of the line (0, 0)-(10, 0).
const Points kLineLoop{{1, 0, 0}, {2, 10, 0}, {2, 0, 0}};

Points offsetOf(const Points &in, float d, int32_t cap, int32_t join, float limit,
                int32_t axis = JVO_BOTH) {
  auto path = makePath(in);
  EXPECT_EQ(jVectOffsetPath(path.get(), d, cap, join, limit, axis), 1);
  return pointsOf(path.get());
}

TEST(OffsetPath, SquaresAndLineLoopsGiveTheirExactOutlines) {
  EXPECT_EQ(offsetOf(kSquare, 1, JVC_FLAT, JVJ_MITER, 4),
            (Points{{1, -1, -1}, {2, -1, 11}, {2, 11, 11}, {2, 11, -1}, {2, -1, -1}}));
  const Points bevel{{1, 0, -1}, {2, -1, 0}, {2, -1, 10}, {2, 0, 11}, {2, 10, 11},
                     {2, 11, 10}, {2, 11, 0}, {2, 10, -1}, {2, 0, -1}};
  EXPECT_EQ(offsetOf(kSquare, 1, JVC_FLAT, JVJ_BEVEL, 4), bevel);
  EXPECT_EQ(offsetOf(kSquare, 1, JVC_FLAT, JVJ_MITER, 1), bevel);
  // Inward every corner is concave: round joins give the crossing.
  EXPECT_EQ(offsetOf(kSquare, -1, JVC_FLAT, JVJ_ROUND, 1),
            (Points{{1, 1, 1}, {2, 1, 9}, {2, 9, 9}, {2, 9, 1}, {2, 1, 1}}));
  EXPECT_EQ(offsetOf(kSquare, 1, JVC_FLAT, JVJ_MITER, 4, JVO_X),
            (Points{{1, -1, 0}, {2, -1, 10}, {2, 11, 10}, {2, 11, 0}, {2, -1, 0}}));
  EXPECT_EQ(offsetOf(kLineLoop, 1, JVC_FLAT, JVJ_MITER, 4),
            (Points{{1, 0, -1}, {2, 0, 1}, {2, 10, 1}, {2, 10, -1}, {2, 0, -1}}));
  EXPECT_EQ(offsetOf(kLineLoop, 1, JVC_SQUARE, JVJ_MITER, 4),
            (Points{{1, -1, -1}, {2, -1, 1}, {2, 11, 1}, {2, 11, -1}, {2, -1, -1}}));
  EXPECT_EQ(offsetOf(kLineLoop, 1, JVC_ROUND, JVJ_MITER, 4),
            (Points{{1, 0, -1}, {41, -1, -1}, {42, -1, 1}, {43, 0, 1}, {2, 10, 1},
                    {41, 11, 1}, {42, 11, -1}, {43, 10, -1}, {2, 0, -1}}));
}

TEST(OffsetPath, CarriesStartTagsAndDropsNoiseContours) {
  const Points out = offsetOf({{1, 0, 0, 7}, {2, 0, 10}, {2, 10, 10}, {2, 10, 0}, {2, 0, 0},
                               {1, 50, 50, 3}, {2, 60, 50}, {2, 55, 55},
                               {1, 20, 0, 9}, {2, 20, 10}, {2, 30, 10}, {2, 30, 0}, {2, 20, 0}},
                              1, JVC_FLAT, JVJ_MITER, 4);
  ASSERT_EQ(out.size(), 10u);
  EXPECT_EQ(out[0], (P{1, -1, -1, 7}));
  EXPECT_EQ(out[5], (P{1, 19, -1, 9}));
}

TEST(OffsetPath, FlattenedCurvesKeepTheirPointsUnlessTheOffsetFoldsThem) {
  // A counter-clockwise circle of radius 5 as one flattened run: positive distances shrink it.
  Points circle{{1, 5, 0}};
  for (int i = 1; i < 36; ++i)
    circle.push_back({11, static_cast<float>(5 * std::cos(i * 3.14159265358979 / 18)),
                      static_cast<float>(5 * std::sin(i * 3.14159265358979 / 18))});
  circle.push_back({12, 5, 0});
  int bends = 0;
  for (const P &p : offsetOf(circle, 4, JVC_FLAT, JVJ_MITER, 4)) {
    if (p.mode != 11) continue;
    ++bends;
    EXPECT_NEAR(std::hypot(p.x, p.y), 1.0, 0.02);
  }
  EXPECT_EQ(bends, 35);
  for (const P &p : offsetOf(circle, 6, JVC_FLAT, JVJ_MITER, 4)) EXPECT_NE(p.mode, 11);
  // A tip sharper than a right angle inside a run becomes a round corner ending the run.
  const Points tip = offsetOf({{1, 0, 0}, {11, 10, 0}, {12, 2, 3}, {2, 0, 0}}, -0.5f, JVC_FLAT,
                              JVJ_MITER, 4);
  ASSERT_GE(tip.size(), 5u);
  EXPECT_EQ((std::vector<int>{tip[1].mode, tip[2].mode, tip[3].mode, tip[4].mode}),
            (std::vector<int>{12, 41, 42, 43}));
}

TEST(OffsetPath, ConvexPolygonGrowsByPerimeterTimesDistancePlusItsCorners) {
  const Points polygon{{1, 0, 0}, {2, 2, 8}, {2, 9, 11}, {2, 14, 6}, {2, 11, -2}, {2, 0, 0}};
  const size_t sides = polygon.size() - 1;
  double area = 0, perimeter = 0;
  std::vector<double> turns;
  for (size_t i = 0; i < sides; ++i) {
    const P &p = polygon[i], &q = polygon[i + 1], &r = polygon[(i + 1) % sides + 1];
    area += 0.5 * (p.x * q.y - q.x * p.y);
    perimeter += std::hypot(q.x - p.x, q.y - p.y);
    turns.push_back(std::fabs(std::remainder(std::atan2(double{r.y} - q.y, double{r.x} - q.x) -
                                                 std::atan2(double{q.y} - p.y, double{q.x} - p.x),
                                             2 * 3.14159265358979)));
  }
  for (float d : {0.5f, 1.5f, 3.0f}) {
    // Each corner adds a sector of its turn; one too tight for handles (the side's end within
    // root 0.1 of the miter point) keeps the miter.
    double corners = 0;
    for (double a : turns) {
      const double reach = d * std::tan(a / 2);
      corners += reach * reach > 0.1 ? d * d * a / 2 : d * reach;
    }
    const std::vector<double> areas = contourAreas(offsetOf(polygon, d, JVC_FLAT, JVJ_ROUND, 4));
    ASSERT_EQ(areas.size(), 1u);
    EXPECT_NEAR(-areas[0], -area + perimeter * d + corners, 2e-3 * d * d + 1e-4) << d;
  }
}

TEST(OffsetPath, RefusalsLeaveThePathAloneAndBadInputAnswers) {
  EXPECT_EQ(jVectOffsetPath(nullptr, 1, JVC_FLAT, JVJ_MITER, 4, JVO_BOTH), 0);
  auto path = makePath(kSquare);
  for (auto [cap, join] : {std::pair{0, 4}, {4, 4}, {1, 3}, {1, 7}})
    EXPECT_EQ(jVectOffsetPath(path.get(), 1, cap, join, 4, JVO_BOTH), 0);
  EXPECT_EQ(pointsOf(path.get()), kSquare);
  EXPECT_EQ(offsetOf({}, 1, JVC_FLAT, JVJ_MITER, 4), Points{});
  offsetOf({{2, 1, 1}, {1, 0, 0}, {2, 0, 0}, {2, 0, 0}, {2, 0, 0}, {2, 0, 0}, {1, 5, 5},
            {21, 5, 5}, {22, 5, 5}, {2, 6, 6}, {2, 5, 5}, {1, 0, 0}, {41, 1, 1}, {42, 2, 2},
            {43, 3, 3}, {2, 0, 0}, {99, 4, 4}},
           1, JVC_ROUND, JVJ_ROUND, 4);
  offsetOf(kSquare, NAN, JVC_ROUND, JVJ_ROUND, NAN, 7);
  offsetOf(kLineLoop, 3e38f, JVC_SQUARE, JVJ_MITER, 3e38f);
}

TEST(OffsetPath, AllocationFailuresAnswerOrFinishTheSameOffset) {
  testing_support::expectAllocationFailuresHandled(
      [] { return makePath(kLineLoop); },
      [](JVect *p) { return jVectOffsetPath(p, 1, JVC_ROUND, JVJ_ROUND, 4, JVO_BOTH); },
      offsetOf(kLineLoop, 1, JVC_ROUND, JVJ_ROUND, 4));
}

}  // namespace
