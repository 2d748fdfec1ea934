// The stroking operations: offset, widen and dash, on small exact outlines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <tuple>
#include <vector>

#include "support/measure.h"

namespace {

using namespace testing_support;

// The square of side 10 clockwise with y up (direction 1): positive distances grow it.
const Points kSquare{{1, 0, 0}, {2, 0, 10}, {2, 10, 10}, {2, 10, 0}, {2, 0, 0}};

Points offsetOf(const Points &in, float d, int32_t cap, int32_t join, float limit,
                int32_t axis = JVO_BOTH) {
  auto path = makePath(in);
  EXPECT_EQ(jVectOffsetPath(path.get(), d, cap, join, limit, axis), 1);
  return pointsOf(path.get());
}

TEST(OffsetPath, SquaresGiveTheirExactOutlinesAndBadArgumentsAreRefused) {
  const Points bevel{{1, 0, -1},  {2, -1, 0}, {2, -1, 10}, {2, 0, 11}, {2, 10, 11},
                     {2, 11, 10}, {2, 11, 0}, {2, 10, -1}, {2, 0, -1}};
  EXPECT_EQ(offsetOf(kSquare, 1, JVC_FLAT, JVJ_MITER, 1), bevel);
  // Inward every corner is concave: round joins give the crossing.
  EXPECT_EQ(offsetOf(kSquare, -1, JVC_FLAT, JVJ_ROUND, 1),
            (Points{{1, 1, 1}, {2, 1, 9}, {2, 9, 9}, {2, 9, 1}, {2, 1, 1}}));
  EXPECT_EQ(offsetOf(kSquare, 1, JVC_FLAT, JVJ_MITER, 4, JVO_X),
            (Points{{1, -1, 0}, {2, -1, 10}, {2, 11, 10}, {2, 11, 0}, {2, -1, 0}}));
  // Refusals leave the path alone.
  EXPECT_EQ(jVectOffsetPath(nullptr, 1, JVC_FLAT, JVJ_MITER, 4, JVO_BOTH), 0);
  auto path = makePath(kSquare);
  for (auto [cap, join] : {std::pair{4, 4}, {1, 7}})
    EXPECT_EQ(jVectOffsetPath(path.get(), 1, cap, join, 4, JVO_BOTH), 0);
  EXPECT_EQ(pointsOf(path.get()), kSquare);
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
    const Measure grown = measure(makePath(offsetOf(polygon, d, JVC_FLAT, JVJ_ROUND, 4)).get());
    ASSERT_EQ(grown.contours, 1);
    EXPECT_NEAR(-grown.area, -area + perimeter * d + corners, 2e-3 * d * d + 1e-4) << d;
  }
}

TEST(WidenPath, OpenLinesGetCapsAndClosedOnesAReversedInnerContour) {
  const Points line{{1, 0, 0, 5}, {2, 10, 0}};
  auto widened = [](const Points &in, int32_t cap) {
    auto path = makePath(in);
    EXPECT_EQ(jVectWidenPath(path.get(), 2, cap, JVJ_MITER, 4), 1);
    return pointsOf(path.get());
  };
  EXPECT_EQ(widened(line, JVC_SQUARE),
            (Points{{1, -1, -1, 5}, {2, -1, 1}, {2, 11, 1}, {2, 11, -1}, {2, -1, -1}}));
  // Two one-piece cubic half rounds of radius 1 enclose 8/5 each (a half disc: 1.5708); the
  // flattening that measures them loses well under 0.01.
  const double rounded = measure(makePath(widened(line, JVC_ROUND)).get()).area;
  EXPECT_NEAR(std::fabs(rounded), 20 + 2 * 1.6, 1e-2);
  const Points ring{{1, -1, -1}, {2, -1, 11}, {2, 11, 11}, {2, 11, -1}, {2, -1, -1},
                    {1, 1, 1},   {2, 9, 1},   {2, 9, 9},   {2, 1, 9},   {2, 1, 1}};
  EXPECT_EQ(widened(kSquare, JVC_FLAT), ring);
  EXPECT_EQ(jVectWidenPath(makePath(line).get(), 2, 0, JVJ_MITER, 4), 0);
}

Points dashed(PathPtr path, int32_t style, std::vector<float> pattern) {
  pattern.resize(6, 0.0f);
  EXPECT_EQ(jVectDash(path.get(), style, pattern.data()), 1);
  return pointsOf(path.get());
}

TEST(Dash, StraightLinesGetTheirDashesWithTheSourceTag) {
  const std::tuple<Points, int32_t, std::vector<float>, Points> cases[] = {
      {{{1, 0, 0, 4}, {2, 4, 0}}, 2, {2, 1}, {{1, 0, 0, 4}, {2, 2, 0}, {1, 3, 0, 4}, {2, 4, 0}}},
      // Style 4 uses all six elements. A dash begun at the very end is closed there.
      {{{1, 0, 0}, {2, 9, 0}},
       4,
       {1, 1, 2, 1, 3, 1},
       {{1, 0, 0}, {2, 1, 0}, {1, 2, 0}, {2, 4, 0}, {1, 5, 0}, {2, 8, 0}, {1, 9, 0}, {2, 9, 0}}},
      // Dashes keep corners.
      {{{1, 0, 0}, {2, 2, 0}, {2, 2, 2}}, 2, {3, 2}, {{1, 0, 0}, {2, 2, 0}, {2, 2, 1}}},
  };
  for (const auto &[in, style, pattern, out] : cases)
    EXPECT_EQ(dashed(makePath(in), style, pattern), out) << style;
}

TEST(Dash, CurvesAreFlattenedAsTheyAreCut) {
  jVectSetCurveRes(8, 3.0f);
  // Cut dashes end with 12 and measure the dash length along the flattened curve.
  const Points cut = dashed(makePath({{1, 0, 0}, {41, 0, 6}, {42, 8, 6}, {43, 8, 0}}), 2, {3, 1});
  double length = 0;
  for (size_t i = 1; i < cut.size(); ++i) {
    if (cut[i].mode != 1) {
      length += std::hypot(cut[i].x - cut[i - 1].x, cut[i].y - cut[i - 1].y);
      continue;
    }
    EXPECT_EQ(cut[i - 1].mode, 12);
    EXPECT_NEAR(length, 3.0, 1e-4);
    length = 0;
  }
  jVectSetCurveRes(32, 3.0f);
}

TEST(Dash, SolidStyleOnlyFlattensAndRefusalsLeaveThePathAlone) {
  auto lines = makePath({{1, 0, 0}, {2, 4, 0}, {2, 4, 4}});
  const Points before = pointsOf(lines.get());
  EXPECT_EQ(jVectDash(lines.get(), 1, nullptr), 1);
  const float zeros[6] = {}, backwards[6] = {2, -1}, good[6] = {2, 1};
  for (auto [style, pattern] : {std::pair{0, good}, {2, nullptr}, {2, zeros}, {2, backwards}})
    EXPECT_EQ(jVectDash(lines.get(), style, pattern), 0) << style;
  EXPECT_EQ(pointsOf(lines.get()), before);
}

}  // namespace
