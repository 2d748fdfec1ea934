#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "frame/plinth_fault.h"
#include "outlina/path.h"
#include "support/path_builder.h"

namespace {

using testing_support::makePath;
using testing_support::P;
using testing_support::pointsOf;

TEST(ContourLength, CountsTheContourAndRefusesOrphansAndBadIndexes) {
  auto path = makePath({{2, 9, 9}, {1, 0, 0}, {2, 1, 0}, {2, 0, 0}, {1, 5, 5}, {2, 6, 5}});
  EXPECT_EQ(jVectGetLength(path.get(), 2), 3);
  EXPECT_EQ(jVectGetLength(path.get(), 4), 2);
  EXPECT_EQ(jVectGetLength(path.get(), -2), 2);
  EXPECT_EQ(jVectGetLength(path.get(), 0), -1);
  EXPECT_EQ(jVectGetLength(path.get(), 6), -1);
  EXPECT_EQ(jVectGetLength(path.get(), -1), -1);
  EXPECT_EQ(jVectGetLength(nullptr, 0), 0);
}

TEST(ContourCheckLoop, NeedsThreePointsAndAnExactRepeatInEveryContour) {
  EXPECT_EQ(jVectCheckLoop(makePath({{1, 0, 0}, {2, 1, 0}, {2, 0, 0}}).get()), 1);
  EXPECT_EQ(jVectCheckLoop(makePath({{1, 0, 0}, {2, 0, 0}}).get()), 0);
  EXPECT_EQ(jVectCheckLoop(makePath({}).get()), 1);
  EXPECT_EQ(jVectCheckLoop(makePath({{2, 0, 0}, {1, 0, 0}, {2, 1, 0}, {2, 0, 0}}).get()), 0);
  EXPECT_EQ(jVectCheckLoop(makePath({{1, 0, 0}, {2, 1, 0}, {2, 0, 0},
                                     {1, 5, 5}, {2, 6, 5}, {2, 5, 5.0001f}}).get()),
            0);
  EXPECT_EQ(jVectCheckLoop(nullptr), 0);
}

std::vector<P> fourOpenTriangles() {
  std::vector<P> points;
  for (int t = 0; t < 4; ++t) {
    const float o = 10.0f * t;
    points.insert(points.end(), {{1, o, 0, 100u + t}, {2, o + 4, 0}, {2, o, 3}});
  }
  return points;
}

JVect *openWith(const std::vector<P> &points, int32_t capacity) {
  JVect *path = jVectOpen(capacity);
  for (const P &p : points) jVectAddPoint(path, -2, static_cast<int16_t>(p.mode), p.x, p.y);
  for (size_t i = 0; i < points.size(); ++i) jVectGetVd(path)[i].tag = points[i].tag;
  return path;
}

TEST(ContourClosePoint, ClosesEveryContourOfFourTriangles) {
  JVect *path = openWith(fourOpenTriangles(), 12);
  EXPECT_EQ(jVectClosePoint(path, -1), 1);
  ASSERT_EQ(jVectGetNum(path), 16);
  EXPECT_EQ(jVectCheckLoop(path), 1);
  for (int t = 0; t < 4; ++t) {
    EXPECT_EQ(pointsOf(path)[4 * t], (P{1, 10.0f * t, 0, 100u + t}));
    EXPECT_EQ(pointsOf(path)[4 * t + 3], (P{2, 10.0f * t, 0, 0}));
  }
  const std::vector<P> closed = pointsOf(path);
  EXPECT_EQ(jVectClosePoint(path, -1), 1);
  EXPECT_EQ(jVectClosePoint(path, 5), 1);
  EXPECT_EQ(pointsOf(path), closed);
  jVectClose(path);
}

TEST(ContourClosePoint, SingleContourTwoPointContourAndIndexesWithoutAContour) {
  auto path = makePath({{2, 7, 7}, {1, 0, 0}, {2, 4, 0}, {1, 9, 9}, {2, 9, 1}, {2, 8, 1}});
  EXPECT_EQ(jVectClosePoint(path.get(), 0), 1);
  EXPECT_EQ(jVectClosePoint(path.get(), 6), 1);
  EXPECT_EQ(jVectClosePoint(path.get(), -3), 1);
  EXPECT_EQ(jVectGetNum(path.get()), 6);
  EXPECT_EQ(jVectClosePoint(path.get(), 2), 1);
  ASSERT_EQ(jVectGetNum(path.get()), 7);
  EXPECT_EQ(pointsOf(path.get())[3], (P{2, 0, 0}));
  EXPECT_EQ(pointsOf(path.get())[4], (P{1, 9, 9}));
  EXPECT_EQ(jVectClosePoint(path.get(), -2), 1);
  EXPECT_EQ(pointsOf(path.get())[7], (P{2, 9, 9}));
  EXPECT_EQ(jVectClosePoint(nullptr, -1), 0);
}

TEST(ContourClosePoint, FailedInsertionKeepsTheContoursClosedSoFar) {
  const std::vector<P> triangles = fourOpenTriangles();
  JVect *full = openWith(triangles, 12);
  jMemTestFailNth(1);
  EXPECT_EQ(jVectClosePoint(full, -1), 0);
  EXPECT_EQ(pointsOf(full).size(), 12u);
  jVectClose(full);
  // One spare record: the first contour closes without growing, the second needs growth.
  JVect *spare = openWith(triangles, 13);
  jMemTestFailNth(1);
  EXPECT_EQ(jVectClosePoint(spare, -1), 0);
  EXPECT_EQ(jMemTestArmed(), 0);
  ASSERT_EQ(jVectGetNum(spare), 13);
  EXPECT_EQ(jVectCheckLoop(spare), 0);
  EXPECT_EQ(pointsOf(spare)[3], (P{2, 0, 0}));
  jVectClose(spare);
}

TEST(ContourSetStartPos, RotatesAClosedSquareAndMovesTheTag) {
  auto path = makePath({{1, 0, 0, 7}, {2, 1, 0, 11}, {2, 1, 1, 12}, {2, 0, 1, 13}, {2, 0, 0}});
  EXPECT_EQ(jVectSetStartPos(path.get(), 2), 1);
  EXPECT_EQ(pointsOf(path.get()), (std::vector<P>{{1, 1, 1, 7},
                                                  {2, 0, 1, 13},
                                                  {2, 0, 0, 0},
                                                  {2, 1, 0, 11},
                                                  {2, 1, 1, 12}}));
}

TEST(ContourSetStartPos, CubicControlPointsTravelWithTheirSegment) {
  auto path = makePath({{1, 0, 0, 5}, {2, 4, 0}, {41, 5, 2}, {42, 3, 4}, {43, 0, 0}});
  EXPECT_EQ(jVectSetStartPos(path.get(), 1), 1);
  EXPECT_EQ(pointsOf(path.get()),
            (std::vector<P>{{1, 4, 0, 5}, {41, 5, 2}, {42, 3, 4}, {43, 0, 0}, {2, 4, 0}}));
}

TEST(ContourSetStartPos, RefusesOffCurveOpenAndOrphanPointsAndKeepsTrivialCases) {
  const std::initializer_list<P> shape = {{2, 3, 3},  {1, 0, 0, 9}, {21, 1, 1}, {22, 2, 0},
                                          {31, 3, 1}, {32, 4, 0},   {2, 0, 0}};
  auto path = makePath(shape);
  const std::vector<P> before = pointsOf(path.get());
  for (int32_t k : {0, 2, 4, 7, -1, -3}) EXPECT_EQ(jVectSetStartPos(path.get(), k), 0) << k;
  EXPECT_EQ(jVectSetStartPos(path.get(), 1), 1);
  EXPECT_EQ(jVectSetStartPos(path.get(), 6), 1);
  EXPECT_EQ(jVectSetStartPos(path.get(), -2), 1);
  EXPECT_EQ(pointsOf(path.get()), before);
  auto open = makePath({{1, 0, 0}, {2, 4, 0}, {2, 4, 4}});
  EXPECT_EQ(jVectSetStartPos(open.get(), 1), 0);
  EXPECT_EQ(jVectSetStartPos(nullptr, 0), 0);
}

// Rotating to any on-curve point keeps the cyclic order of the records between start and
// closing point, and leaves the other contour alone.
TEST(ContourSetStartPos, EveryOnCurvePointGivesTheSameCycle) {
  const std::initializer_list<P> shape = {{1, 0, 0},  {2, 5, 0},  {41, 6, 1}, {42, 6, 2},
                                          {43, 5, 3}, {21, 3, 4}, {22, 1, 3}, {12, 0, 0},
                                          {1, 20, 20}, {2, 21, 20}, {2, 20, 20}};
  const std::vector<P> original = pointsOf(makePath(shape).get());
  for (int32_t k = 1; k <= 7; ++k) {
    auto path = makePath(shape);
    if (original[k].mode == 41 || original[k].mode == 42 || original[k].mode == 21) continue;
    ASSERT_EQ(jVectSetStartPos(path.get(), k), 1);
    const std::vector<P> now = pointsOf(path.get());
    for (int i = 1; i < 7; ++i) {
      const P &was = original[(k - 1 + i) % 7 + 1];
      EXPECT_EQ(now[i].mode, was.mode) << k << " " << i;
      EXPECT_EQ(now[i].x, was.x);
      EXPECT_EQ(now[i].y, was.y);
    }
    EXPECT_EQ(now[0].x, original[k].x);
    EXPECT_EQ(now[7].x, original[k].x);
    EXPECT_EQ(now[7].mode, original[k].mode);
    EXPECT_EQ(now[7].y, now[0].y);
    EXPECT_EQ(std::vector<P>(now.begin() + 8, now.end()),
              std::vector<P>(original.begin() + 8, original.end()));
  }
}

TEST(ContourSearchPoint, LaterIndexWinsTiesAfterRoundingToFloat) {
  auto path = makePath({{1, 1, 0}, {41, -1, 0}, {0, 0, 5}});
  EXPECT_EQ(jVectSearchPoint(path.get(), 0, 0), 1);
  EXPECT_EQ(jVectSearchPoint(path.get(), 0, 4.9f), 2);
  // 1 + 2^-28 and 1 are the same float, so the farther but later point wins.
  const float tiny = std::ldexp(1.0f, -14);
  auto rounded = makePath({{1, 1, 0}, {2, 1, tiny}, {2, 7, 7}});
  EXPECT_EQ(jVectSearchPoint(rounded.get(), 0, 0), 1);
  EXPECT_EQ(jVectSearchPoint(makePath({}).get(), 0, 0), -1);
  EXPECT_EQ(jVectSearchPoint(nullptr, 0, 0), -1);
}

TEST(ContourDelNoise, RemovesTinyContoursAndKeepsAClosedTriangle) {
  auto path = makePath({{1, 0, 0, 4}, {2, 1, 0}, {2, 0, 1}, {1, 5, 5, 8}, {2, 6, 5}, {2, 5, 6},
                        {2, 5, 5}, {1, 9, 9}});
  EXPECT_EQ(jVectDelNoise(path.get()), 4);
  EXPECT_EQ(pointsOf(path.get()),
            (std::vector<P>{{1, 5, 5, 8}, {2, 6, 5}, {2, 5, 6}, {2, 5, 5}}));
  EXPECT_EQ(jVectDelNoise(nullptr), 0);
}

TEST(ContourDelNoise, DropsRepeatedLinePointsAgainstTheReference) {
  auto path = makePath({{1, 0, 0}, {2, 4, 0}, {2, 4, 0}, {2, 4, 0}, {11, 4, 4}, {12, 4, 4},
                        {2, 0, 4}, {12, 0, 4}, {3, 0, 4}, {13, 0, 4}, {2, 0, 0}});
  EXPECT_EQ(jVectDelNoise(path.get()), 7);
  EXPECT_EQ(pointsOf(path.get()), (std::vector<P>{{1, 0, 0},
                                                  {2, 4, 0},
                                                  {12, 4, 4},
                                                  {2, 0, 4},
                                                  {3, 0, 4},
                                                  {13, 0, 4},
                                                  {2, 0, 0}}));
}

// A degenerate end becomes a line point, but the off-curve point just before it is then the
// reference, so that end is dropped as a repeat as well.
TEST(ContourDelNoise, DegenerateCurvesVanishWithTheirEnd) {
  auto path = makePath({{1, 0, 0}, {2, 8, 0}, {31, 8, 8}, {33, 8, 8}, {2, 4, 12}, {41, 0, 8},
                        {42, 0, 8}, {44, 0, 8}, {2, 0, 0}});
  EXPECT_EQ(jVectDelNoise(path.get()), 4);
  EXPECT_EQ(pointsOf(path.get()), (std::vector<P>{{1, 0, 0}, {2, 8, 0}, {2, 4, 12}, {2, 0, 0}}));
  auto arc = makePath({{1, 0, 0}, {2, 8, 0}, {21, 8, 8}, {22, 8, 8}, {2, 0, 8}, {2, 0, 0}});
  EXPECT_EQ(jVectDelNoise(arc.get()), 4);
  EXPECT_EQ(pointsOf(arc.get()), (std::vector<P>{{1, 0, 0}, {2, 8, 0}, {2, 0, 8}, {2, 0, 0}}));
  const std::initializer_list<P> curved = {{1, 0, 0}, {41, 3, 0}, {42, 8, 8}, {43, 8, 8},
                                           {21, 4, 9}, {22, 0, 0}};
  auto kept = makePath(curved);
  EXPECT_EQ(jVectDelNoise(kept.get()), 6);
  EXPECT_EQ(pointsOf(kept.get()), pointsOf(makePath(curved).get()));
}

TEST(ContourScaleAndSnap, ScaleAboutTheOriginAndSnapTowardZero) {
  auto path = makePath({{1, 1.5f, -2, 3}, {41, -4, 0.25f}, {0, 10, 10}});
  EXPECT_EQ(jVectScale(path.get(), 2), 1);
  EXPECT_EQ(pointsOf(path.get()), (std::vector<P>{{1, 3, -4, 3}, {41, -8, 0.5f}, {0, 20, 20}}));
  auto grid = makePath({{1, -1.9f, 1.9f, 6}, {2, 2.7f, -2.7f}, {2, 3, -0.2f}});
  EXPECT_EQ(jVectSnap(grid.get(), 1), 1);
  EXPECT_EQ(pointsOf(grid.get()), (std::vector<P>{{1, -1, 1, 6}, {2, 2, -2}, {2, 3, 0}}));
  auto half = makePath({{1, 2.7f, -2.7f}, {2, 0.4f, 1.25f}});
  EXPECT_EQ(jVectSnap(half.get(), 0.5f), 1);
  EXPECT_EQ(pointsOf(half.get()), (std::vector<P>{{1, 2.5f, -2.5f}, {2, 0, 1}}));
  const std::vector<P> before = pointsOf(half.get());
  EXPECT_EQ(jVectSnap(half.get(), 0), 0);
  EXPECT_EQ(jVectSnap(half.get(), INFINITY), 0);
  EXPECT_EQ(pointsOf(half.get()), before);
  EXPECT_EQ(jVectSnap(makePath({{1, 1.5f, 1.5f}}).get(), 1), 0);
  EXPECT_EQ(jVectSnap(nullptr, 1), 0);
  EXPECT_EQ(jVectScale(nullptr, 1), 0);
}

}  // namespace
