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

// Each rule on squares that overlap, share an edge, nest or miss each other: the number of
// points left and the direction of each contour, 1 for an outline and 2 for a hole.
TEST(WeldCombineExamples, SquaresUnderEachRule) {
  const auto a = rectangle(0, 0, 2, 2), b = rectangle(1, 1, 3, 3);
  const auto outer = rectangle(0, 0, 4, 4), inner = rectangle(1, 1, 3, 3);
  const auto hole = rectangle(1, 1, 3, 3, true);
  const Outline slanted = {{0, -3}, {-1, -3}, {1, 2}};
  const struct {
    std::vector<Outline> outlines;
    int32_t mode;
    size_t points;
    std::vector<int32_t> directions;
  } cases[] = {
      {{a, b}, JWM_UNION, 9, {1}},
      {{a, b}, JWM_INTERSECT, 5, {1}},
      // The overlap starts on a corner of the outline, which the orientation rule's containment
      // test does not count as inside, so it keeps its traced direction.
      {{a, b}, JWM_HOLE, 14, {1, 1}},
      // The shared edge goes; an edge at -0 is the same edge as one at +0.
      {{rectangle(0, 0, 1, 1), rectangle(1, 0, 2, 1)}, JWM_UNION_ALL, 7, {1}},
      {{rectangle(-1, 0, -0.0f, 1), rectangle(0, 0, 1, 1)}, JWM_UNION, 7, {1}},
      // The inner square becomes a hole, whether it came in clockwise or already as a hole.
      {{outer, inner}, JWM_UNION, 10, {1, 2}},
      {{outer, inner}, JWM_HOLE, 10, {1, 2}},
      {{outer, hole}, JWM_UNION_ALL, 10, {1, 2}},
      {{outer, inner}, JWM_UNION_ALL, 5, {1}},
      {{outer, inner}, 5, 5, {1}},  // codes outside 1 to 4 act as the union of all
      {{rectangle(0, 0, 1, 1), rectangle(5, 5, 6, 6)}, JWM_INTERSECT, 0, {}},
      // Far apart, most grid cells stay empty: the grid keeps only the occupied ones.
      {{rectangle(0, 0, 1, 1), rectangle(1e5f, 1e5f, 1e5f + 1, 1e5f + 1)}, JWM_UNION, 10, {1, 1}},
      {{{{2, 2}, {2, 0}, {0, 2}, {0, 0}}}, JWM_UNION_ALL, 4, {1}},  // a bow-tie's clockwise lobe
      // One slanted triangle twice: lines from every side must keep the same copy of an edge.
      {{slanted, slanted}, JWM_UNION, 4, {1}},
      {{slanted, slanted}, JWM_INTERSECT, 4, {1}},
      {{slanted, slanted}, JWM_UNION_ALL, 4, {1}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    PathPtr path = pathOf(cases[i].outlines);
    ASSERT_EQ(jWeldCombineVect(path.get(), cases[i].mode), 1) << i;
    std::vector<int32_t> directions;
    for (int32_t s = 0; s < jVectGetNum(path.get()); s = jVectGetEndPos(path.get(), s) + 1)
      directions.push_back(jVectGetLoopDir(path.get(), s));
    EXPECT_EQ(jVectGetNum(path.get()), static_cast<int32_t>(cases[i].points)) << i;
    EXPECT_EQ(directions, cases[i].directions) << i;
  }
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

TEST(WeldCombineInput, RefusesNullOnePointUnknownFillAndNonFiniteCoordinates) {
  EXPECT_EQ(jWeldCombineVect(nullptr, 1), 0);
  EXPECT_EQ(jWeldExecute(1, nullptr), 0);
  EXPECT_EQ(jWeldCombineVect(makePath({{1, 3, 4}}).get(), 1), 0);
  EXPECT_EQ(jWeldFillVect(nullptr, JWF_NONZERO), 0);
  auto square = pathOf({rectangle(0, 0, 4, 4)});
  EXPECT_EQ(jWeldFillVect(square.get(), 0), 0) << "an unknown fill rule";
  EXPECT_EQ(pointsOf(square.get()), pointsOf(pathOf({rectangle(0, 0, 4, 4)}).get()));
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
      {"float limit",
       {{{-kMax, -kMax}, {-kMax, kMax}, {kMax, kMax}, {kMax, -kMax}},
        {{-kMax, 0}, {0, kMax}, {kMax, 0}, {0, -kMax}}}},
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
