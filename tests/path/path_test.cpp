// The path object, its contours and their orientation.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <tuple>
#include <utility>

#include "support/path_builder.h"

namespace {

using namespace testing_support;

// Any record, spare ones too, copied out of the packed array.
P record(const JVect *path, int32_t i) {
  const JVectPoint &p = jVectGetVd(path)[i];
  return {p.mode, p.x, p.y, p.tag};
}

// Point count, capacity and loop word, compared at once.
using Shape = std::array<int32_t, 3>;
Shape shape(const JVect *path) { return {jVectGetNum(path), path->capacity, jVectGetLoop(path)}; }

TEST(PathGrowth, PointsAndTagsSurviveGrowth) {
  const Points points{{1, 0, 0, 7}, {2, 1, 0}, {2, 1, 1}, {1, 5, 5, 8}, {2, 6, 5}};
  auto path = makePath(points, 2);
  EXPECT_EQ(pointsOf(path.get()), points);
  EXPECT_GE(path->capacity, 5);
}

TEST(PathIndexes, MinusTwoIsTheLastPointAndOtherNegativesFail) {
  auto path = makePath({});
  EXPECT_EQ(jVectGetPoint(path.get(), -2, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(jVectAddPoint(path.get(), -2, 1, 3, 4), 1);
  EXPECT_EQ(jVectAddPoint(path.get(), 1, 2, 5, 6), 2);
  EXPECT_EQ(jVectAddPoint(path.get(), 3, 2, 0, 0), -1);
  EXPECT_EQ(jVectAddPoint(path.get(), -1, 2, 0, 0), -1);
  EXPECT_EQ(jVectAddPoint(path.get(), 0, -32768, 7, 8), 3);
  P last{};
  EXPECT_EQ(jVectGetPoint(path.get(), -2, &last.mode, &last.x, &last.y), 1);
  EXPECT_EQ(last, (P{2, 5, 6}));
  for (int32_t bad : {-1, -3, 3}) {
    EXPECT_EQ(jVectSetPoint(path.get(), bad, 2, 0, 0), 0) << bad;
    EXPECT_EQ(jVectDelPoint(path.get(), bad), -1) << bad;
  }
  EXPECT_EQ(pointsOf(path.get()), (Points{{-32768, 7, 8}, {1, 3, 4}, {2, 5, 6}}));
}

TEST(PathEdit, SetMoveTagAndAttributes) {
  // Tags live on contour starts; the point before the first start belongs to none.
  auto path = makePath(
      {{2, 0, 0}, {1, 1, 1, 4}, {11, 2, 2}, {12, 3, 3}, {1, 5, 5, 4}, {43, 6, 6}, {1, 7, 7, 4}});
  EXPECT_EQ(jVectSetTag(path.get(), -1, 9), 1);
  EXPECT_EQ(jVectSetTag(path.get(), 5, 5), 1);
  EXPECT_EQ(jVectSetTag(path.get(), 0, 5), 0);
  EXPECT_EQ(jVectSetPoint(path.get(), 3, 3, 1.5f, 2.5f), 1);
  EXPECT_EQ(jVectMovePoint(path.get(), -2, 0.5f, -7), 1);
  EXPECT_EQ(jVectSetAttri(path.get()), 1);
  const Points edited{{2, 0, 0},    {1, 1, 1, 9}, {2, 2, 2},      {3, 1.5f, 2.5f},
                      {1, 5, 5, 5}, {43, 6, 6},   {1, 7.5f, 0, 9}};
  EXPECT_EQ(pointsOf(path.get()), edited);
  auto bounds = makePath({{2, 0, 0}, {2, 1, 1}, {1, 2, 2}, {2, 3, 3}, {1, 4, 4}});
  for (auto [index, start, end] : {std::array{1, -1, 1}, {3, 2, 3}, {-2, 4, 4}}) {
    EXPECT_EQ(jVectGetStartPos(bounds.get(), index), start);
    EXPECT_EQ(jVectGetEndPos(bounds.get(), index), end);
  }
}

TEST(PathRemoval, SweepDelRewindAndClearZeroTheTailButSweepKeepsItsTags) {
  auto path = makePath({{1, 1, 1, 10}, {0, 2, 2, 20}, {2, 3, 3, 30}, {0, 4, 4, 40}});
  EXPECT_EQ(jVectSweepPoint(path.get()), 2);
  EXPECT_EQ(pointsOf(path.get()), (Points{{1, 1, 1, 10}, {2, 3, 3, 30}}));
  EXPECT_EQ(record(path.get(), 3), (P{0, 0, 0, 40}));

  auto two = makePath({{1, 1, 1}, {2, 2, 2}});
  EXPECT_EQ(jVectDelPoint(two.get(), 0), 1);
  EXPECT_EQ(jVectDelPoint(two.get(), -2), 0);
  EXPECT_EQ(jVectDelPoint(two.get(), -2), -1);

  auto five = makePath({{1, 1, 1}, {2, 2, 2}, {2, 3, 3}, {2, 4, 4}, {2, 5, 5}});
  for (auto [n, count] : {std::pair{-1, -1}, {2, 3}, {100, 0}})
    EXPECT_EQ(jVectRewindPoint(five.get(), n), count) << n;
  five->loop = 6;
  EXPECT_EQ(jVectClear(five.get()), 1);
  EXPECT_EQ(shape(five.get()), (Shape{0, 16, 6}));
}

TEST(PathOpenAndClose, StartsEmptyAndNullHandlesAnswerWithTheFailureResult) {
  PathPtr path(jVectOpen(50));
  EXPECT_EQ(shape(path.get()), (Shape{0, 50, 0}));
  EXPECT_EQ(jVectOpen(0), nullptr);
  jVectClose(nullptr);
  EXPECT_EQ(jVectGetNum(nullptr), 0);
  EXPECT_EQ(jVectDelPoint(nullptr, -2), -1);
  EXPECT_EQ(jVectDuplicate(nullptr), nullptr);
}

TEST(ContourLengthAndCheckLoop, CountContoursAndRefuseOrphansAndBadIndexes) {
  auto path = makePath({{2, 9, 9}, {1, 0, 0}, {2, 1, 0}, {2, 0, 0}, {1, 5, 5}, {2, 6, 5}});
  for (auto [index, length] : {std::pair{2, 3}, {4, 2}, {-2, 2}, {0, -1}, {6, -1}, {-1, -1}})
    EXPECT_EQ(jVectGetLength(path.get(), index), length) << index;
  // Every contour needs three points and an exact repeat of its start.
  const std::pair<Points, int32_t> loops[] = {
      {{{1, 0, 0}, {2, 1, 0}, {2, 0, 0}}, 1},
      {{}, 1},
      {{{1, 0, 0}, {2, 0, 0}}, 0},
      {{{2, 0, 0}, {1, 0, 0}, {2, 1, 0}, {2, 0, 0}}, 0},
      {{{1, 0, 0}, {2, 1, 0}, {2, 0, 0}, {1, 5, 5}, {2, 6, 5}, {2, 5, 5.0001f}}, 0}};
  for (const auto &[points, closed] : loops)
    EXPECT_EQ(jVectCheckLoop(makePath(points).get()), closed);
}

// Closing copies the start without its tag, once, and only for contours that exist; the point
// before the first start belongs to none.
TEST(ContourClosePoint, ClosesEveryContourOnceAndOnlyRealContours) {
  auto path = makePath({{2, 7, 7}, {1, 0, 0, 5}, {2, 4, 0}, {1, 9, 9}, {2, 9, 1}, {2, 8, 1}}, 6);
  for (int32_t index : {0, 6, -3, -1, -1, 2}) EXPECT_EQ(jVectClosePoint(path.get(), index), 1);
  const Points closed{{2, 7, 7}, {1, 0, 0, 5}, {2, 4, 0}, {2, 0, 0},
                      {1, 9, 9}, {2, 9, 1},    {2, 8, 1}, {2, 9, 9}};
  EXPECT_EQ(pointsOf(path.get()), closed);
}

// Rotating to any on-curve point keeps the cyclic order of the records between start and
// closing point, keeps the start tag, and leaves the other contour alone.
TEST(ContourSetStartPos, EveryOnCurvePointGivesTheSameCycle) {
  const Points original{{1, 0, 0, 5}, {2, 5, 0},  {41, 6, 1},  {42, 6, 2},  {43, 5, 3}, {21, 3, 4},
                        {22, 1, 3},   {12, 0, 0}, {1, 20, 20}, {2, 21, 20}, {2, 20, 20}};
  for (int32_t k : {4, 7}) {
    auto path = makePath(original);
    ASSERT_EQ(jVectSetStartPos(path.get(), k), 1);
    const Points now = pointsOf(path.get());
    for (int i = 1; i < 7; ++i) EXPECT_EQ(now[i], original[(k - 1 + i) % 7 + 1]) << k << " " << i;
    EXPECT_EQ(now[0], (P{1, original[k].x, original[k].y, 5}));
    EXPECT_EQ(now[7], (P{original[k].mode, original[k].x, original[k].y}));
    EXPECT_EQ(Points(now.begin() + 8, now.end()), Points(original.begin() + 8, original.end()));
  }
  auto path = makePath({{2, 3, 3}, {1, 0, 0, 9}, {21, 1, 1}, {22, 2, 0}, {2, 0, 0}});
  for (int32_t k : {0, 2, 5, -1}) EXPECT_EQ(jVectSetStartPos(path.get(), k), 0) << k;
  EXPECT_EQ(jVectSetStartPos(makePath({{1, 0, 0}, {2, 4, 0}, {2, 4, 4}}).get(), 1), 0);
}

TEST(ContourScaleAndSnap, ScaleAboutTheOriginAndSnapTowardZero) {
  auto path = makePath({{1, 1.5f, -2, 3}, {41, -4, 0.25f}, {0, 10, 10}});
  EXPECT_EQ(jVectScale(path.get(), 2), 1);
  EXPECT_EQ(pointsOf(path.get()), (Points{{1, 3, -4, 3}, {41, -8, 0.5f}, {0, 20, 20}}));
  auto grid = makePath({{1, -1.9f, 1.9f, 6}, {2, 2.7f, -2.7f}, {2, 3, -0.2f}});
  EXPECT_EQ(jVectSnap(grid.get(), 1), 1);
  EXPECT_EQ(pointsOf(grid.get()), (Points{{1, -1, 1, 6}, {2, 2, -2}, {2, 3, 0}}));
  for (float step : {0.0f, INFINITY}) EXPECT_EQ(jVectSnap(grid.get(), step), 0) << step;
}

TEST(Reverse, SegmentsKeepTheirKindsStartsAndTagsAndTwiceRestores) {
  auto both = makePath(
      {{1, 0, 0, 7}, {2, 1, 0}, {41, 2, 1}, {42, 3, 1}, {43, 4, 0}, {1, 5, 5, 9}, {2, 6, 5}});
  EXPECT_EQ(jVectReverse(both.get(), -1), 1);
  const Points reversed{{1, 4, 0, 7}, {41, 3, 1},   {42, 2, 1}, {43, 1, 0},
                        {2, 0, 0},    {1, 6, 5, 9}, {2, 5, 5}};
  EXPECT_EQ(pointsOf(both.get()), reversed);
  const Points before{{1, 0, 0},  {31, 1, 2}, {32, 2, 0}, {11, 3, 1}, {12, 4, 0}, {21, 5, 1},
                      {22, 6, 0}, {41, 7, 1}, {42, 8, 1}, {44, 9, 0}, {2, 0, 0}};
  auto mixed = makePath(before);
  jVectReverse(mixed.get(), 0);
  EXPECT_EQ(pointsOf(mixed.get())[1], (P{3, 9, 0}));  // the variant stays in its family
  jVectReverse(mixed.get(), 0);
  EXPECT_EQ(pointsOf(mixed.get()), before);
  EXPECT_EQ(jVectReverse(makePath({{2, 0, 0}, {2, 1, 0}}).get(), 1), 0);
}

TEST(SetLoopDir, SquareWithAHoleUnderEachRuleAndRefusals) {
  // Both squares counter-clockwise, the start tags 3 and 4 to be kept.
  const Points squares{{1, 0, 0, 3}, {2, 10, 0}, {2, 10, 10}, {2, 0, 10}, {2, 0, 0},
                       {1, 3, 3, 4}, {2, 7, 3},  {2, 7, 7},   {2, 3, 7},  {2, 3, 3}};
  for (auto [rule, outer, hole] : {std::tuple{1, 1, 2}, {2, 2, 1}, {0, 1, 1}}) {
    auto path = makePath(squares);
    ASSERT_EQ(jVectSetLoopDir(path.get(), rule), 1);
    EXPECT_EQ(jVectGetLoopDir(path.get(), 0), outer) << rule;
    EXPECT_EQ(jVectGetLoopDir(path.get(), 5), hole) << rule;
    EXPECT_TRUE(pointsOf(path.get())[0].tag == 3u && pointsOf(path.get())[5].tag == 4u) << rule;
  }
  EXPECT_EQ(jVectSetLoopDir(makePath({{1, 0, 0}, {2, 1, 0}}).get(), 1), 0);
}

}  // namespace
