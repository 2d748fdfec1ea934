// The combine on small exact examples and on inputs it must refuse or clean up.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "outlina.h"
#include "support/path_builder.h"
#include "weld/weld_shapes.h"

namespace {

using namespace testing_support;
using weld_shapes::Outline;
using weld_shapes::pathOf;
using weld_shapes::rectangle;

struct Combined {
  Points points;
  std::vector<int32_t> directions;  // one per contour
};

Combined combined(const std::vector<Outline> &outlines, int32_t mode) {
  PathPtr path = pathOf(outlines);
  EXPECT_EQ(jWeldCombineVect(path.get(), mode), 1);
  Combined out{pointsOf(path.get()), {}};
  for (size_t i = 0; i < out.points.size(); ++i)
    if (out.points[i].mode == JVM_START)
      out.directions.push_back(jVectGetLoopDir(path.get(), static_cast<int32_t>(i)));
  return out;
}

Points operator+(Points a, const Points &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(WeldCombineExamples, OverlappingSquaresUnderEachRule) {
  const auto a = rectangle(0, 0, 2, 2), b = rectangle(1, 1, 3, 3);
  const Points outline = {{1, 0, 0}, {2, 0, 2}, {2, 1, 2}, {2, 1, 3}, {2, 3, 3},
                          {2, 3, 1}, {2, 2, 1}, {2, 2, 0}, {2, 0, 0}};
  const Points overlap = {{1, 1, 2}, {2, 2, 2}, {2, 2, 1}, {2, 1, 1}, {2, 1, 2}};
  EXPECT_EQ(combined({a, b}, JWM_UNION).points, outline);
  EXPECT_EQ(combined({a, b}, JWM_UNION_ALL).points, outline);
  EXPECT_EQ(combined({a, b}, JWM_INTERSECT).points, overlap);
  // The overlap square starts on a corner of the outline, a point that the orientation rule's
  // containment test does not count as inside, so it keeps its traced direction.
  const Combined hole = combined({a, b}, JWM_HOLE);
  EXPECT_EQ(hole.points, outline + overlap);
  EXPECT_EQ(hole.directions, (std::vector<int32_t>{1, 1}));
}

TEST(WeldCombineExamples, EdgeSharingSquaresLoseTheSharedEdge) {
  const Points joined{{1, 0, 0}, {2, 0, 1}, {2, 1, 1}, {2, 2, 1}, {2, 2, 0}, {2, 1, 0}, {2, 0, 0}};
  for (int32_t mode : {JWM_UNION, JWM_UNION_ALL}) {
    EXPECT_EQ(combined({rectangle(0, 0, 1, 1), rectangle(1, 0, 2, 1)}, mode).points, joined);
    // An edge at -0 is the same edge as one at +0.
    EXPECT_EQ(combined({rectangle(-1, 0, -0.0f, 1), rectangle(0, 0, 1, 1)}, mode).points.size(),
              7u);
  }
}

TEST(WeldCombineExamples, NestedAndDisjointSquaresUnderEachRule) {
  const auto outer = rectangle(0, 0, 4, 4), inner = rectangle(1, 1, 3, 3);
  const Points outerPoints = {{1, 0, 0}, {2, 0, 4}, {2, 4, 4}, {2, 4, 0}, {2, 0, 0}};
  const Points innerPoints = {{1, 1, 1}, {2, 1, 3}, {2, 3, 3}, {2, 3, 1}, {2, 1, 1}};
  // The inner square becomes a hole, whether it came in clockwise or already as a hole.
  const auto hole = rectangle(1, 1, 3, 3, true);
  const struct {
    int32_t mode;
    Outline second;
  } cases[] = {{JWM_UNION, inner}, {JWM_HOLE, inner}, {JWM_UNION, hole}, {JWM_UNION_ALL, hole}};
  for (const auto &c : cases) {
    const Combined both = combined({outer, c.second}, c.mode);
    EXPECT_EQ(both.directions, (std::vector<int32_t>{1, 2})) << c.mode;
    ASSERT_EQ(both.points.size(), 10u) << c.mode;
    EXPECT_EQ(Points(both.points.begin(), both.points.begin() + 5), outerPoints) << c.mode;
  }
  // Codes outside 1 to 4 act as the union of all.
  for (int32_t mode : {int32_t{JWM_UNION_ALL}, 0, 5, -7})
    EXPECT_EQ(combined({outer, inner}, mode).points, outerPoints) << mode;
  EXPECT_EQ(combined({outer, inner}, JWM_INTERSECT).points, innerPoints);
  EXPECT_TRUE(
      combined({rectangle(0, 0, 1, 1), rectangle(5, 5, 6, 6)}, JWM_INTERSECT).points.empty());
  // A bow-tie keeps its clockwise lobe.
  EXPECT_EQ(combined({{{2, 2}, {2, 0}, {0, 2}, {0, 0}}}, JWM_UNION_ALL).points,
            (Points{{1, 2, 2}, {2, 2, 0}, {2, 1, 1}, {2, 2, 2}}));
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
  EXPECT_EQ(pointsOf(path.get()), (Points{{1, 0, 0}, {2, 0, 2}, {2, 2, 2}, {2, 2, 0}, {2, 0, 0}}));
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

// Inputs at the edges of what floats hold: each gives a result or a clean refusal, and ends.
TEST(WeldCombineInput, ExtremeInputsEndWithFiniteResults) {
  constexpr float kMax = std::numeric_limits<float>::max();
  std::vector<std::pair<std::string, std::vector<Outline>>> cases = {
      {"nan", {{{0, 0}, {NAN, 1}, {1, 1}}, rectangle(0, 0, 2, 2)}},
      {"infinity", {{{0, 0}, {INFINITY, 1}, {1, -INFINITY}}}},
      {"float limit",
       {{{-kMax, -kMax}, {-kMax, kMax}, {kMax, kMax}, {kMax, -kMax}},
        {{-kMax, 0}, {0, kMax}, {kMax, 0}, {0, -kMax}}}},
      {"near the limit",
       {rectangle(1e37f, 1e37f, 3e38f, 3e38f), rectangle(2e37f, -3e38f, 2e38f, 2e38f)}},
      {"flat and two-point",
       {{{0, 0}, {4, 4}, {8, 8}}, {{1, 1}, {3, 3}}, rectangle(0, 0, 8, 8), {{2, 2}, {2, 2}}}},
      {"shared point", {}}};
  // Triangles fanning around one point: thousands of segments end there.
  constexpr int kBlades = 1000;
  for (int k = 0; k < kBlades; ++k) {
    const double a = 6.283185307179586 * k / kBlades, b = a + 6.283185307179586 * 1.5 / kBlades;
    cases.back().second.push_back(
        {{0, 0},
         {static_cast<float>(10 * std::cos(a)), static_cast<float>(10 * std::sin(a))},
         {static_cast<float>(10 * std::cos(b)), static_cast<float>(10 * std::sin(b))}});
  }
  for (const auto &[name, outlines] : cases)
    for (int32_t mode = JWM_UNION; mode <= JWM_UNION_ALL; ++mode) {
      PathPtr path = pathOf(outlines);
      if (jWeldCombineVect(path.get(), mode) != 1) continue;
      for (const P &p : pointsOf(path.get()))
        ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << name << " rule " << mode;
    }
}

}  // namespace
