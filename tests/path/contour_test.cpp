#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "frame/plinth_fault.h"
#include "support/path_builder.h"

namespace {

using namespace testing_support;

TEST(ContourLengthAndCheckLoop, CountContoursAndRefuseOrphansAndBadIndexes) {
  auto path = makePath({{2, 9, 9}, {1, 0, 0}, {2, 1, 0}, {2, 0, 0}, {1, 5, 5}, {2, 6, 5}});
  for (auto [index, length] : {std::pair{2, 3}, {4, 2}, {-2, 2}, {0, -1}, {6, -1}, {-1, -1}})
    EXPECT_EQ(jVectGetLength(path.get(), index), length) << index;
  // Every contour needs three points and an exact repeat of its start.
  const std::pair<Points, int32_t> loops[] = {
      {{{1, 0, 0}, {2, 1, 0}, {2, 0, 0}}, 1}, {{}, 1}, {{{1, 0, 0}, {2, 0, 0}}, 0},
      {{{2, 0, 0}, {1, 0, 0}, {2, 1, 0}, {2, 0, 0}}, 0},
      {{{1, 0, 0}, {2, 1, 0}, {2, 0, 0}, {1, 5, 5}, {2, 6, 5}, {2, 5, 5.0001f}}, 0}};
  for (const auto &[points, closed] : loops) EXPECT_EQ(jVectCheckLoop(makePath(points).get()), closed);
}

Points fourOpenTriangles() {
  Points points;
  for (int t = 0; t < 4; ++t)
    points.insert(points.end(), {{1, 10.0f * t, 0, 100u + t}, {2, 10.0f * t + 4, 0}, {2, 10.0f * t, 3}});
  return points;
}

TEST(ContourClosePoint, ClosesEveryContourOnceAndOnlyRealContours) {
  auto path = makePath(fourOpenTriangles(), 12);
  EXPECT_EQ(jVectClosePoint(path.get(), -1), 1);
  const Points closed = pointsOf(path.get());
  ASSERT_EQ(closed.size(), 16u);
  for (int t = 0; t < 4; ++t) EXPECT_EQ(closed[4 * t + 3], (P{2, 10.0f * t, 0, 0}));
  EXPECT_EQ(jVectClosePoint(path.get(), -1), 1);
  EXPECT_EQ(jVectClosePoint(path.get(), 5), 1);
  EXPECT_EQ(pointsOf(path.get()), closed);

  auto one = makePath({{2, 7, 7}, {1, 0, 0}, {2, 4, 0}, {1, 9, 9}, {2, 9, 1}, {2, 8, 1}});
  for (int32_t noContour : {0, 6, -3}) EXPECT_EQ(jVectClosePoint(one.get(), noContour), 1);
  EXPECT_EQ(jVectClosePoint(one.get(), 2), 1);
  EXPECT_EQ(jVectClosePoint(one.get(), -2), 1);
  EXPECT_EQ(pointsOf(one.get()), (Points{{2, 7, 7}, {1, 0, 0}, {2, 4, 0}, {2, 0, 0}, {1, 9, 9},
                                         {2, 9, 1}, {2, 8, 1}, {2, 9, 9}}));
  // One spare record: the first contour closes without growing, the second needs growth.
  auto spare = makePath(fourOpenTriangles(), 13);
  jMemTestFailNth(1);
  EXPECT_EQ(jVectClosePoint(spare.get(), -1), 0);
  EXPECT_EQ(jMemTestArmed(), 0);
  EXPECT_EQ(jVectGetNum(spare.get()), 13);
  EXPECT_EQ(pointsOf(spare.get())[3], (P{2, 0, 0}));
}

// Rotating to any on-curve point keeps the cyclic order of the records between start and
// closing point, keeps the start tag, and leaves the other contour alone.
TEST(ContourSetStartPos, EveryOnCurvePointGivesTheSameCycle) {
  const Points original{{1, 0, 0, 5}, {2, 5, 0},  {41, 6, 1},  {42, 6, 2},  {43, 5, 3},  {21, 3, 4},
                        {22, 1, 3},   {12, 0, 0}, {1, 20, 20}, {2, 21, 20}, {2, 20, 20}};
  for (int32_t k : {1, 4, 6, 7}) {
    auto path = makePath(original);
    ASSERT_EQ(jVectSetStartPos(path.get(), k), 1);
    const Points now = pointsOf(path.get());
    for (int i = 1; i < 7; ++i) {
      const P &was = original[(k - 1 + i) % 7 + 1];
      EXPECT_TRUE(now[i].mode == was.mode && now[i].x == was.x && now[i].y == was.y) << k << " " << i;
    }
    EXPECT_EQ(now[0], (P{1, original[k].x, original[k].y, 5}));
    EXPECT_EQ(now[7], (P{original[k].mode, original[k].x, original[k].y}));
    EXPECT_EQ(Points(now.begin() + 8, now.end()), Points(original.begin() + 8, original.end()));
  }
  auto path = makePath({{2, 3, 3}, {1, 0, 0, 9}, {21, 1, 1}, {22, 2, 0}, {31, 3, 1}, {32, 4, 0}, {2, 0, 0}});
  const Points before = pointsOf(path.get());
  for (int32_t k : {0, 2, 4, 7, -1, -3}) EXPECT_EQ(jVectSetStartPos(path.get(), k), 0) << k;
  for (int32_t k : {1, 6, -2}) EXPECT_EQ(jVectSetStartPos(path.get(), k), 1) << k;
  EXPECT_EQ(pointsOf(path.get()), before);
  EXPECT_EQ(jVectSetStartPos(makePath({{1, 0, 0}, {2, 4, 0}, {2, 4, 4}}).get(), 1), 0);
}

TEST(ContourSearchPoint, LaterIndexWinsTiesAfterRoundingToFloat) {
  auto path = makePath({{1, 1, 0}, {41, -1, 0}, {0, 0, 5}});
  EXPECT_EQ(jVectSearchPoint(path.get(), 0, 0), 1);
  EXPECT_EQ(jVectSearchPoint(path.get(), 0, 4.9f), 2);
  // 1 + 2^-28 and 1 are the same float, so the farther but later point wins.
  auto rounded = makePath({{1, 1, 0}, {2, 1, std::ldexp(1.0f, -14)}, {2, 7, 7}});
  EXPECT_EQ(jVectSearchPoint(rounded.get(), 0, 0), 1);
  EXPECT_EQ(jVectSearchPoint(makePath({}).get(), 0, 0), -1);
}

TEST(ContourDelNoise, DropsTinyContoursRepeatsAndDegenerateCurves) {
  // A degenerate end becomes a line point, but the off-curve point just before it is then the
  // reference, so that end is dropped as a repeat as well.
  const Points curved{{1, 0, 0}, {41, 3, 0}, {42, 8, 8}, {43, 8, 8}, {21, 4, 9}, {22, 0, 0}};
  const std::pair<Points, Points> cases[] = {
      {{{1, 0, 0, 4}, {2, 1, 0}, {2, 0, 1}, {1, 5, 5, 8}, {2, 6, 5}, {2, 5, 6}, {2, 5, 5}, {1, 9, 9}},
       {{1, 5, 5, 8}, {2, 6, 5}, {2, 5, 6}, {2, 5, 5}}},
      {{{1, 0, 0}, {2, 4, 0}, {2, 4, 0}, {2, 4, 0}, {11, 4, 4}, {12, 4, 4}, {2, 0, 4}, {12, 0, 4},
        {3, 0, 4}, {13, 0, 4}, {2, 0, 0}},
       {{1, 0, 0}, {2, 4, 0}, {12, 4, 4}, {2, 0, 4}, {3, 0, 4}, {13, 0, 4}, {2, 0, 0}}},
      {{{1, 0, 0}, {2, 8, 0}, {31, 8, 8}, {33, 8, 8}, {2, 4, 12}, {41, 0, 8}, {42, 0, 8}, {44, 0, 8},
        {2, 0, 0}},
       {{1, 0, 0}, {2, 8, 0}, {2, 4, 12}, {2, 0, 0}}},
      {{{1, 0, 0}, {2, 8, 0}, {21, 8, 8}, {22, 8, 8}, {2, 0, 8}, {2, 0, 0}},
       {{1, 0, 0}, {2, 8, 0}, {2, 0, 8}, {2, 0, 0}}},
      {curved, curved},
  };
  for (const auto &[in, out] : cases) {
    auto path = makePath(in);
    EXPECT_EQ(jVectDelNoise(path.get()), static_cast<int32_t>(out.size()));
    EXPECT_EQ(pointsOf(path.get()), out);
  }
}

TEST(ContourScaleAndSnap, ScaleAboutTheOriginAndSnapTowardZero) {
  auto path = makePath({{1, 1.5f, -2, 3}, {41, -4, 0.25f}, {0, 10, 10}});
  EXPECT_EQ(jVectScale(path.get(), 2), 1);
  EXPECT_EQ(pointsOf(path.get()), (Points{{1, 3, -4, 3}, {41, -8, 0.5f}, {0, 20, 20}}));
  auto grid = makePath({{1, -1.9f, 1.9f, 6}, {2, 2.7f, -2.7f}, {2, 3, -0.2f}});
  EXPECT_EQ(jVectSnap(grid.get(), 1), 1);
  EXPECT_EQ(pointsOf(grid.get()), (Points{{1, -1, 1, 6}, {2, 2, -2}, {2, 3, 0}}));
  auto half = makePath({{1, 2.7f, -2.7f}, {2, 0.4f, 1.25f}});
  EXPECT_EQ(jVectSnap(half.get(), 0.5f), 1);
  const Points snapped{{1, 2.5f, -2.5f}, {2, 0, 1}};
  EXPECT_EQ(pointsOf(half.get()), snapped);
  EXPECT_EQ(jVectSnap(half.get(), 0), 0);
  EXPECT_EQ(jVectSnap(half.get(), INFINITY), 0);
  EXPECT_EQ(pointsOf(half.get()), snapped);
  EXPECT_EQ(jVectSnap(makePath({{1, 1.5f, 1.5f}}).get(), 1), 0);
}

}  // namespace
