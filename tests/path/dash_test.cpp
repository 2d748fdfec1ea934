#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "frame/plinth_fault.h"
#include "outlina/curve.h"
#include "outlina/offset.h"
#include "support/path_builder.h"

namespace {

using testing_support::makePath;
using testing_support::P;
using testing_support::PathPtr;
using testing_support::pointsOf;

std::vector<P> dashed(PathPtr path, int32_t style, std::vector<float> pattern) {
  pattern.resize(6, 0.0f);
  EXPECT_EQ(jVectDash(path.get(), style, pattern.data()), 1);
  return pointsOf(path.get());
}

TEST(Dash, StraightLineGetsTheFourDashesOfTwoOnOneOff) {
  EXPECT_EQ(dashed(makePath({{1, 0, 0, 4}, {2, 10, 0}}), 2, {2, 1}),
            (std::vector<P>{{1, 0, 0, 4}, {2, 2, 0}, {1, 3, 0, 4}, {2, 5, 0}, {1, 6, 0, 4},
                            {2, 8, 0}, {1, 9, 0, 4}, {2, 10, 0}}));
}

TEST(Dash, LongerStylesUseMoreElementsAndTheRestAreIgnored) {
  EXPECT_EQ(dashed(makePath({{1, 0, 0}, {2, 9.5f, 0}}), 3, {2, 1, 1, 1, 50, 50}),
            (std::vector<P>{{1, 0, 0}, {2, 2, 0}, {1, 3, 0}, {2, 4, 0}, {1, 5, 0}, {2, 7, 0},
                            {1, 8, 0}, {2, 9, 0}}));
  EXPECT_EQ(dashed(makePath({{1, 0, 0}, {2, 9, 0}}), 4, {1, 1, 2, 1, 3, 1}),
            (std::vector<P>{{1, 0, 0}, {2, 1, 0}, {1, 2, 0}, {2, 4, 0}, {1, 5, 0}, {2, 8, 0},
                            {1, 9, 0}, {2, 9, 0}}));
}

TEST(Dash, PatternRestartsAtEveryContourAndDashesKeepCorners) {
  EXPECT_EQ(dashed(makePath({{1, 0, 0, 1}, {2, 3, 0}, {1, 0, 5, 2}, {2, 3, 5}}), 2, {2, 2}),
            (std::vector<P>{{1, 0, 0, 1}, {2, 2, 0}, {1, 0, 5, 2}, {2, 2, 5}}));
  EXPECT_EQ(dashed(makePath({{1, 0, 0}, {2, 4, 0}, {2, 4, 4}}), 2, {6, 1}),
            (std::vector<P>{{1, 0, 0}, {2, 4, 0}, {2, 4, 2}, {1, 4, 3}, {2, 4, 4}}));
}

TEST(Dash, ZeroGapOnAStraightSegmentStepsTheNextDashOnInX) {
  const std::vector<P> out = dashed(makePath({{1, 0, 0}, {2, 5, 0}}), 2, {2, 0});
  ASSERT_EQ(out.size(), 6u);
  const std::vector<int> modes{1, 2, 1, 2, 1, 2};
  for (size_t i = 0; i < out.size(); ++i) EXPECT_EQ(out[i].mode, modes[i]) << i;
  EXPECT_EQ(out[1].x, 2.0f);
  // The step is the float 0.01 added in double, then stored as a float.
  EXPECT_EQ(out[2].x, static_cast<float>(2.0 + static_cast<double>(0.01f)));
  EXPECT_FLOAT_EQ(out[3].x, 4.01f);
  EXPECT_FLOAT_EQ(out[4].x, 4.02f);
  EXPECT_EQ(out[5].x, 5.0f);
}

TEST(Dash, CurvesAreFlattenedAsTheyAreCut) {
  jVectSetCurveRes(8, 3.0f);
  auto curve = [] { return makePath({{1, 0, 0}, {41, 0, 6}, {42, 8, 6}, {43, 8, 0}}); };
  float flat[2 * 9] = {0, 0, 0, 6, 8, 6, 8, 0};
  const int32_t n = jMathBezToLine(flat, 8);
  // One dash longer than the curve follows its flattening exactly.
  std::vector<P> whole{{1, 0, 0}};
  for (int32_t j = 1; j < n; ++j) whole.push_back({j + 1 == n ? 12 : 11, flat[2 * j], flat[2 * j + 1]});
  EXPECT_EQ(dashed(curve(), 2, {1000, 1}), whole);

  // Cut dashes end with 12 and start with 1; their lengths follow the pattern.
  const std::vector<P> cut = dashed(curve(), 2, {3, 1});
  double length = 0;
  for (size_t i = 0; i < cut.size(); ++i) {
    if (cut[i].mode == 1) {
      if (i > 0) {
        EXPECT_EQ(cut[i - 1].mode, 12);
      }
      length = 0;
      continue;
    }
    length += std::hypot(cut[i].x - cut[i - 1].x, cut[i].y - cut[i - 1].y);
    if (i + 1 < cut.size() && cut[i + 1].mode == 1) {
      EXPECT_NEAR(length, 3.0, 1e-4);
    }
  }
  jVectSetCurveRes(32, 3.0f);
}

TEST(Dash, SolidStyleOnlyFlattensAndRefusalsLeaveThePathAlone) {
  auto lines = makePath({{1, 0, 0}, {2, 4, 0}, {2, 4, 4}});
  const std::vector<P> before = pointsOf(lines.get());
  EXPECT_EQ(jVectDash(lines.get(), 1, nullptr), 1);
  EXPECT_EQ(pointsOf(lines.get()), before);

  const float zeros[6] = {};
  const float backwards[6] = {2, -1, 0, 0, 0, 0};
  const float good[6] = {2, 1, 0, 0, 0, 0};
  EXPECT_EQ(jVectDash(nullptr, 2, good), 0);
  EXPECT_EQ(jVectDash(lines.get(), 0, good), 0);
  EXPECT_EQ(jVectDash(lines.get(), 2, nullptr), 0);
  EXPECT_EQ(jVectDash(lines.get(), 2, zeros), 0);
  EXPECT_EQ(jVectDash(lines.get(), 2, backwards), 0);
  EXPECT_EQ(pointsOf(lines.get()), before);
  auto single = makePath({{1, 0, 0}});
  EXPECT_EQ(jVectDash(single.get(), 2, good), 0);
}

TEST(Dash, TinyPatternsOnHugeCoordinatesFinish) {
  // Steps far below the coordinates' precision make no progress; the walk still ends.
  auto path = makePath({{1, 1e7f, 1e7f}, {2, 1e7f, 1e7f + 100}, {2, 1e7f + 100, 1e7f + 100}});
  const float tiny[6] = {0.1f, 0, 0, 0, 0, 0};
  EXPECT_EQ(jVectDash(path.get(), 2, tiny), 1);
}

TEST(Dash, AllocationFailureOfTheCopyRefusesWithThePathUnchanged) {
  const std::vector<P> expected = dashed(makePath({{1, 0, 0}, {2, 10, 0}}), 2, {2, 1});
  for (int32_t n = 1;; ++n) {
    auto path = makePath({{1, 0, 0}, {2, 10, 0}});
    const std::vector<P> before = pointsOf(path.get());
    const float pattern[6] = {2, 1, 0, 0, 0, 0};
    jMemTestFailNth(n);
    const int32_t result = jVectDash(path.get(), 2, pattern);
    const bool fired = jMemTestArmed() == 0;
    jMemTestFailNth(0);
    if (!fired) {
      EXPECT_EQ(result, 1);
      EXPECT_EQ(pointsOf(path.get()), expected);
      break;
    }
    if (result == 0) {
      EXPECT_EQ(pointsOf(path.get()), before);
    }
    ASSERT_LT(n, 50);
  }
}

}  // namespace
