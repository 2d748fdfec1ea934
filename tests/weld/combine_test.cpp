// The combine on small exact examples and on inputs it must refuse or clean up.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

#include "outlina.h"
#include "weld/weld_shapes.h"
#include "support/path_builder.h"

namespace {

using namespace testing_support;

using weld_shapes::addOutline;
using weld_shapes::pathOf;
using weld_shapes::rectangle;

Points combined(const std::vector<weld_shapes::Outline> &outlines, int32_t mode) {
  PathPtr path = pathOf(outlines);
  EXPECT_EQ(jWeldCombineVect(path.get(), mode), 1);
  return pointsOf(path.get());
}

// The contours of a result as point lists, each with its direction code.
struct Contour {
  Points points;
  int32_t direction;
};
std::vector<Contour> contoursOf(const Points &points) {
  PathPtr path = makePath({}, 16);
  for (const P &p : points)
    jVectAddPoint(path.get(), JVECT_LAST, static_cast<int16_t>(p.mode), p.x, p.y);
  std::vector<Contour> out;
  for (size_t i = 0; i < points.size(); ++i) {
    if (points[i].mode == JVM_START)
      out.push_back({{}, jVectGetLoopDir(path.get(), static_cast<int32_t>(i))});
    out.back().points.push_back(points[i]);
  }
  return out;
}

const weld_shapes::Outline kSquareA = rectangle(0, 0, 2, 2), kSquareB = rectangle(1, 1, 3, 3);

TEST(WeldCombineExamples, OverlappingSquaresUnderUnionIntersectAndHole) {
  const Points unionOutline = {{1, 0, 0}, {2, 0, 2}, {2, 1, 2}, {2, 1, 3}, {2, 3, 3},
                                       {2, 3, 1}, {2, 2, 1}, {2, 2, 0}, {2, 0, 0}};
  const Points overlap = {{1, 1, 2}, {2, 2, 2}, {2, 2, 1}, {2, 1, 1}, {2, 1, 2}};
  EXPECT_EQ(combined({kSquareA, kSquareB}, JWM_UNION), unionOutline);
  EXPECT_EQ(combined({kSquareA, kSquareB}, JWM_UNION_ALL), unionOutline);
  EXPECT_EQ(combined({kSquareA, kSquareB}, JWM_INTERSECT), overlap);

  const auto hole = contoursOf(combined({kSquareA, kSquareB}, JWM_HOLE));
  ASSERT_EQ(hole.size(), 2u);
  EXPECT_EQ(hole[0].points, unionOutline);
  EXPECT_EQ(hole[0].direction, 1);
  // The overlap square starts on a corner of the outline, a point that the orientation rule's
  // containment test does not count as inside, so it keeps its traced direction.
  EXPECT_EQ(hole[1].points, overlap);
  EXPECT_EQ(hole[1].direction, 1);
}

TEST(WeldCombineExamples, EdgeSharingSquaresLoseTheSharedEdge) {
  const Points joined{{1, 0, 0}, {2, 0, 1}, {2, 1, 1}, {2, 2, 1}, {2, 2, 0}, {2, 1, 0}, {2, 0, 0}};
  for (int32_t mode : {JWM_UNION, JWM_UNION_ALL}) {
    EXPECT_EQ(combined({rectangle(0, 0, 1, 1), rectangle(1, 0, 2, 1)}, mode), joined) << mode;
    // An edge at -0 is the same edge as one at +0.
    EXPECT_EQ(combined({rectangle(-1, 0, -0.0f, 1), rectangle(0, 0, 1, 1)}, mode).size(), 7u);
  }
}

TEST(WeldCombineExamples, NestedAndDisjointSquaresUnderEachRule) {
  const auto outer = rectangle(0, 0, 4, 4), inner = rectangle(1, 1, 3, 3);
  const Points outerPoints = {{1, 0, 0}, {2, 0, 4}, {2, 4, 4}, {2, 4, 0}, {2, 0, 0}};
  const Points innerPoints = {{1, 1, 1}, {2, 1, 3}, {2, 3, 3}, {2, 3, 1}, {2, 1, 1}};
  // The inner square becomes a hole, whether it came in clockwise or already as a hole.
  const auto hole = rectangle(1, 1, 3, 3, true);
  using Case = std::pair<int32_t, weld_shapes::Outline>;
  for (const auto &[mode, second] : {Case{JWM_UNION, inner}, Case{JWM_HOLE, inner},
                                     Case{JWM_UNION, hole}, Case{JWM_UNION_ALL, hole}}) {
    const auto both = contoursOf(combined({outer, second}, mode));
    ASSERT_EQ(both.size(), 2u) << mode;
    EXPECT_EQ(both[0].points, outerPoints) << mode;
    EXPECT_EQ(std::pair(both[0].direction, both[1].direction), std::pair(1, 2)) << mode;
    EXPECT_EQ(both[1].points.size(), 5u);
  }
  // Codes outside 1 to 4 act as the union of all.
  for (int32_t mode : {int32_t{JWM_UNION_ALL}, 0, 5, -7})
    EXPECT_EQ(combined({outer, inner}, mode), outerPoints) << mode;
  EXPECT_EQ(combined({outer, inner}, JWM_INTERSECT), innerPoints);
  EXPECT_TRUE(combined({rectangle(0, 0, 1, 1), rectangle(5, 5, 6, 6)}, JWM_INTERSECT).empty());
}

TEST(WeldCombineExamples, BowTieKeepsItsClockwiseLobe) {
  auto path = makePath({{1, 0, 0}, {2, 2, 2}, {2, 2, 0}, {2, 0, 2}, {2, 0, 0}});
  ASSERT_EQ(jWeldCombineVect(path.get(), JWM_UNION_ALL), 1);
  EXPECT_EQ(pointsOf(path.get()), (Points{{1, 2, 2}, {2, 2, 0}, {2, 1, 1}, {2, 2, 2}}));
}

TEST(WeldCombineInput, OpenContoursCloseAndTinyOrFlatOnesDropOut) {
  // An open contour is closed from its next-to-last point.
  auto open = makePath({{1, 0, 0}, {2, 0, 2}, {2, 2, 2}, {2, 2, 0}});
  ASSERT_EQ(jWeldCombineVect(open.get(), JWM_UNION_ALL), 1);
  EXPECT_EQ(pointsOf(open.get()), (Points{{1, 0, 0}, {2, 0, 2}, {2, 2, 2}, {2, 0, 0}}));
  auto path = pathOf({rectangle(0, 0, 2, 2)});
  for (P p : {P{1, 5, 5}, P{1, 6, 6}, P{2, 7, 6}, P{1, 5, 5}, P{2, 6, 6}, P{2, 7, 7}, P{2, 5, 5}})
    jVectAddPoint(path.get(), JVECT_LAST, static_cast<int16_t>(p.mode), p.x, p.y);
  ASSERT_EQ(jWeldCombineVect(path.get(), JWM_UNION_ALL), 1);
  EXPECT_EQ(pointsOf(path.get()),
            (Points{{1, 0, 0}, {2, 0, 2}, {2, 2, 2}, {2, 2, 0}, {2, 0, 0}}));
}

TEST(WeldCombineInput, RefusesNullOnePointAndNonFiniteCoordinates) {
  EXPECT_EQ(jWeldCombineVect(nullptr, 1), 0);
  EXPECT_EQ(jWeldExecute(1, nullptr), 0);
  EXPECT_EQ(jWeldCombineVect(makePath({{1, 3, 4}}).get(), 1), 0);
  for (float bad :
       {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
    auto path = pathOf({rectangle(0, 0, 2, 2), rectangle(1, 1, bad, 3)});
    const auto before = pointsOf(path.get());
    EXPECT_EQ(jWeldCombineVect(path.get(), JWM_UNION_ALL), 0);
    EXPECT_EQ(pointsOf(path.get()).size(), before.size()) << "left flattened, not combined";
  }
}

}  // namespace
