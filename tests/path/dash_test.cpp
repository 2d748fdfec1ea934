#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "outlina/curve.h"
#include "outlina/offset.h"
#include "support/path_builder.h"
#include "tests/path/stroke_support.h"

namespace {

using namespace testing_support;

Points dashed(PathPtr path, int32_t style, std::vector<float> pattern) {
  pattern.resize(6, 0.0f);
  EXPECT_EQ(jVectDash(path.get(), style, pattern.data()), 1);
  return pointsOf(path.get());
}

TEST(Dash, StraightLinesGetTheirDashesWithTheSourceTag) {
  const struct { Points in; int32_t style; std::vector<float> pattern; Points out; } cases[] = {
      {{{1, 0, 0, 4}, {2, 10, 0}}, 2, {2, 1},
       {{1, 0, 0, 4}, {2, 2, 0}, {1, 3, 0, 4}, {2, 5, 0}, {1, 6, 0, 4}, {2, 8, 0}, {1, 9, 0, 4}, {2, 10, 0}}},
      // Style 4 uses all six elements. A dash begun at the very end is closed there.
      {{{1, 0, 0}, {2, 9, 0}}, 4, {1, 1, 2, 1, 3, 1},
       {{1, 0, 0}, {2, 1, 0}, {1, 2, 0}, {2, 4, 0}, {1, 5, 0}, {2, 8, 0}, {1, 9, 0}, {2, 9, 0}}},
      // The pattern restarts at every contour, and dashes keep corners.
      {{{1, 0, 0, 1}, {2, 3, 0}, {1, 0, 5, 2}, {2, 3, 5}}, 2, {2, 2}, {{1, 0, 0, 1}, {2, 2, 0}, {1, 0, 5, 2}, {2, 2, 5}}},
      {{{1, 0, 0}, {2, 4, 0}, {2, 4, 4}}, 2, {6, 1}, {{1, 0, 0}, {2, 4, 0}, {2, 4, 2}, {1, 4, 3}, {2, 4, 4}}},
  };
  for (const auto &c : cases) EXPECT_EQ(dashed(makePath(c.in), c.style, c.pattern), c.out) << c.style;
}

TEST(Dash, ZeroGapOnAStraightSegmentStepsTheNextDashOnInX) {
  const Points out = dashed(makePath({{1, 0, 0}, {2, 5, 0}}), 2, {2, 0});
  ASSERT_EQ(out.size(), 6u);
  // The float 0.01 added in double, then stored as a float.
  EXPECT_EQ(out[2], (P{1, static_cast<float>(2.0 + static_cast<double>(0.01f)), 0}));
  EXPECT_EQ(out[5], (P{2, 5, 0}));
}

TEST(Dash, CurvesAreFlattenedAsTheyAreCut) {
  jVectSetCurveRes(8, 3.0f);
  auto curve = [] { return makePath({{1, 0, 0}, {41, 0, 6}, {42, 8, 6}, {43, 8, 0}}); };
  float flat[2 * 9] = {0, 0, 0, 6, 8, 6, 8, 0};
  const int32_t n = jMathBezToLine(flat, 8);
  Points whole{{1, 0, 0}};
  for (int32_t j = 1; j < n; ++j) whole.push_back({j + 1 == n ? 12 : 11, flat[2 * j], flat[2 * j + 1]});
  EXPECT_EQ(dashed(curve(), 2, {1000, 1}), whole);
  // Cut dashes end with 12 and measure the dash length along the flattened curve.
  const Points cut = dashed(curve(), 2, {3, 1});
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
  EXPECT_EQ(jVectDash(nullptr, 2, good), 0);
  for (auto [style, pattern] : {std::pair{0, good}, {2, nullptr}, {2, zeros}, {2, backwards}})
    EXPECT_EQ(jVectDash(lines.get(), style, pattern), 0) << style;
  EXPECT_EQ(pointsOf(lines.get()), before);
  EXPECT_EQ(jVectDash(makePath({{1, 0, 0}}).get(), 2, good), 0);
  // Steps far below the coordinates' precision make no progress; the walk still ends.
  const float tiny[6] = {0.1f};
  EXPECT_EQ(jVectDash(makePath({{1, 1e7f, 1e7f}, {2, 1e7f, 1e7f + 100}}).get(), 2, tiny), 1);
}

TEST(Dash, AllocationFailuresAnswerOrFinishTheSameDashes) {
  auto line = [] { return makePath({{1, 0, 0}, {2, 10, 0}}); };
  testing_support::expectAllocationFailuresHandled(
      line, [](JVect *p) { const float pattern[6] = {2, 1}; return jVectDash(p, 2, pattern); },
      dashed(line(), 2, {2, 1}));
}

}  // namespace
