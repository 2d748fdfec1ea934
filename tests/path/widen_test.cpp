#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "frame/plinth_fault.h"
#include "outlina/curve.h"
#include "outlina/offset.h"
#include "support/path_builder.h"
#include "tests/path/outline_area.h"

namespace {

using testing_support::contourAreas;
using testing_support::makePath;
using testing_support::P;
using testing_support::PathPtr;
using testing_support::pointsOf;

PathPtr openLine() { return makePath({{1, 0, 0, 5}, {2, 10, 0}}); }

PathPtr closedSquare() {
  return makePath({{1, 0, 0}, {2, 0, 10}, {2, 10, 10}, {2, 10, 0}, {2, 0, 0}});
}

std::vector<P> widened(PathPtr path, float width, int32_t cap, int32_t join, float limit) {
  EXPECT_EQ(jVectWidenPath(path.get(), width, cap, join, limit), 1);
  return pointsOf(path.get());
}

TEST(WidenPath, OpenLineBecomesARectangleWithFlatOrSquareEndsAndKeepsItsTag) {
  EXPECT_EQ(widened(openLine(), 2, JVC_FLAT, JVJ_MITER, 4),
            (std::vector<P>{{1, 0, -1, 5}, {2, 0, 1}, {2, 10, 1}, {2, 10, -1}, {2, 0, -1}}));
  EXPECT_EQ(widened(openLine(), 2, JVC_SQUARE, JVJ_MITER, 4),
            (std::vector<P>{{1, -1, -1, 5}, {2, -1, 1}, {2, 11, 1}, {2, 11, -1}, {2, -1, -1}}));
  const std::vector<P> round = widened(openLine(), 2, JVC_ROUND, JVJ_MITER, 4);
  ASSERT_EQ(round.size(), 9u);
  EXPECT_EQ(round[3], (P{43, 0, 1}));
  EXPECT_EQ(round[7], (P{43, 10, -1}));
  // The rectangle plus two one-piece cubic half rounds of radius 1, each enclosing 8/5 (a half
  // disc would be 1.5708).
  EXPECT_NEAR(std::fabs(contourAreas(round)[0]), 20 + 2 * 1.6, 2e-4);
}

TEST(WidenPath, ClosedSquareGetsOuterAndInnerContoursInOppositeSenses) {
  const std::vector<P> out = widened(closedSquare(), 2, JVC_FLAT, JVJ_MITER, 4);
  ASSERT_EQ(out.size(), 10u);
  EXPECT_EQ(std::vector<P>(out.begin(), out.begin() + 5),
            (std::vector<P>{{1, -1, -1}, {2, -1, 11}, {2, 11, 11}, {2, 11, -1}, {2, -1, -1}}));
  EXPECT_EQ(std::vector<P>(out.begin() + 5, out.end()),
            (std::vector<P>{{1, 1, 1}, {2, 9, 1}, {2, 9, 9}, {2, 1, 9}, {2, 1, 1}}));
  const std::vector<double> areas = contourAreas(out);
  // Together the two contours bound the band: perimeter times width.
  EXPECT_DOUBLE_EQ(-(areas[0] + areas[1]), 80.0);
}

TEST(WidenPath, MiterStrokeOfAPolylineHasLengthTimesWidthArea) {
  const std::vector<P> line{{1, 0, 0}, {2, 10, 0}, {2, 15, 8}, {2, 25, 8}, {2, 27, -3}};
  double length = 0;
  for (size_t i = 1; i < line.size(); ++i)
    length += std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y);
  for (float width : {0.5f, 1.0f, 2.0f}) {
    PathPtr path(jVectOpen(16));
    for (const P &p : line) jVectAddPoint(path.get(), JVECT_LAST, p.mode, p.x, p.y);
    const std::vector<double> areas = contourAreas(widened(std::move(path), width, JVC_FLAT, JVJ_MITER, 100));
    ASSERT_EQ(areas.size(), 1u);
    EXPECT_NEAR(std::fabs(areas[0]), length * width, 1e-4 * length) << width;
  }
}

TEST(WidenPath, RefusesNullAndUnknownCodesWithoutChangingThePath) {
  EXPECT_EQ(jVectWidenPath(nullptr, 2, JVC_FLAT, JVJ_MITER, 4), 0);
  auto path = openLine();
  const std::vector<P> before = pointsOf(path.get());
  EXPECT_EQ(jVectWidenPath(path.get(), 2, 0, JVJ_MITER, 4), 0);
  EXPECT_EQ(jVectWidenPath(path.get(), 2, JVC_FLAT, 8, 4), 0);
  EXPECT_EQ(pointsOf(path.get()), before);
  auto empty = makePath({});
  EXPECT_EQ(jVectWidenPath(empty.get(), 2, JVC_FLAT, JVJ_MITER, 4), 1);
  EXPECT_EQ(jVectGetNum(empty.get()), 0);
}

TEST(WidenPath, AllocationFailuresReturnZeroOrFinishTheSameBand) {
  for (bool closed : {false, true}) {
    const std::vector<P> expected =
        widened(closed ? closedSquare() : openLine(), 2, JVC_ROUND, JVJ_ROUND, 4);
    for (int32_t n = 1;; ++n) {
      PathPtr path = closed ? closedSquare() : openLine();
      jMemTestFailNth(n);
      const int32_t result = jVectWidenPath(path.get(), 2, JVC_ROUND, JVJ_ROUND, 4);
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
}

}  // namespace
