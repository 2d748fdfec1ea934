#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "outlina/offset.h"
#include "support/path_builder.h"
#include "tests/path/stroke_support.h"

namespace {

using namespace testing_support;

PathPtr openLine() { return makePath({{1, 0, 0, 5}, {2, 10, 0}}); }
PathPtr square() { return makePath({{1, 0, 0}, {2, 0, 10}, {2, 10, 10}, {2, 10, 0}, {2, 0, 0}}); }

Points widened(PathPtr path, float width, int32_t cap, int32_t join, float limit) {
  EXPECT_EQ(jVectWidenPath(path.get(), width, cap, join, limit), 1);
  return pointsOf(path.get());
}

TEST(WidenPath, OpenLineBecomesOneCappedContourWithItsTag) {
  EXPECT_EQ(widened(openLine(), 2, JVC_FLAT, JVJ_MITER, 4),
            (Points{{1, 0, -1, 5}, {2, 0, 1}, {2, 10, 1}, {2, 10, -1}, {2, 0, -1}}));
  EXPECT_EQ(widened(openLine(), 2, JVC_SQUARE, JVJ_MITER, 4),
            (Points{{1, -1, -1, 5}, {2, -1, 1}, {2, 11, 1}, {2, 11, -1}, {2, -1, -1}}));
  // Two one-piece cubic half rounds of radius 1 enclose 8/5 each (a half disc: 1.5708).
  EXPECT_NEAR(std::fabs(contourAreas(widened(openLine(), 2, JVC_ROUND, JVJ_MITER, 4))[0]),
              20 + 2 * 1.6, 2e-4);
}

TEST(WidenPath, ClosedSquareGetsOuterAndReversedInnerContours) {
  const Points out = widened(square(), 2, JVC_FLAT, JVJ_MITER, 4);
  EXPECT_EQ(out, (Points{{1, -1, -1}, {2, -1, 11}, {2, 11, 11}, {2, 11, -1}, {2, -1, -1},
                         {1, 1, 1}, {2, 9, 1}, {2, 9, 9}, {2, 1, 9}, {2, 1, 1}}));
  const std::vector<double> areas = contourAreas(out);
  EXPECT_DOUBLE_EQ(-(areas[0] + areas[1]), 40.0 * 2);  // perimeter times width
}

TEST(WidenPath, MiterStrokeOfAPolylineHasLengthTimesWidthArea) {
  // Flat ends, and miters that add on the outside exactly what the inside loses.
  const Points line{{1, 0, 0}, {2, 10, 0}, {2, 15, 8}, {2, 25, 8}, {2, 27, -3}};
  double length = 0;
  for (size_t i = 1; i < line.size(); ++i)
    length += std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y);
  for (float width : {0.5f, 1.0f, 2.0f}) {
    const std::vector<double> areas = contourAreas(widened(makePath(line), width, JVC_FLAT, JVJ_MITER, 100));
    ASSERT_EQ(areas.size(), 1u);
    EXPECT_NEAR(std::fabs(areas[0]), length * width, 1e-4 * length) << width;
  }
}

TEST(WidenPath, RefusalsLeaveThePathAloneAndAllocationFailuresAnswer) {
  EXPECT_EQ(jVectWidenPath(nullptr, 2, JVC_FLAT, JVJ_MITER, 4), 0);
  auto path = openLine();
  EXPECT_EQ(jVectWidenPath(path.get(), 2, 0, JVJ_MITER, 4), 0);
  EXPECT_EQ(jVectWidenPath(path.get(), 2, JVC_FLAT, 8, 4), 0);
  EXPECT_EQ(pointsOf(path.get()), pointsOf(openLine().get()));
  EXPECT_EQ(widened(makePath({}), 2, JVC_FLAT, JVJ_MITER, 4), Points{});
  for (PathPtr (*make)() : {openLine, square})
    testing_support::expectAllocationFailuresHandled(
        make, [](JVect *p) { return jVectWidenPath(p, 2, JVC_ROUND, JVJ_ROUND, 4); },
        widened(make(), 2, JVC_ROUND, JVJ_ROUND, 4));
}

}  // namespace
