#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "outlina/curve.h"
#include "path/segments.h"
#include "support/path_builder.h"

namespace {

using outlina::Pt;
using testing_support::makePath;
using testing_support::P;
using testing_support::PathPtr;
using Box = std::array<float, 4>;

Box boxOf(const JVect *path, int32_t index) {
  Box box{-1, -1, -1, -1};
  EXPECT_EQ(jVectGetMinMax(box.data(), path, index), box.data());
  return box;
}

PathPtr ccwSquare() { return makePath({{1, 0, 0}, {2, 10, 0}, {2, 10, 10}, {2, 0, 10}, {2, 0, 0}}); }
PathPtr cwSquare() { return makePath({{1, 0, 0}, {2, 0, 10}, {2, 10, 10}, {2, 10, 0}, {2, 0, 0}}); }

// A counter-clockwise circle of radius 10 about the origin from two three-point arcs.
PathPtr arcCircle() {
  return makePath({{1, 10, 0}, {21, 0, 10}, {22, -10, 0}, {21, 0, -10}, {22, 10, 0}});
}

class SegmentWalkerTest : public ::testing::Test {
 protected:
  std::vector<outlina::Segment> walk(const JVect *path, int32_t first, int32_t last) {
    std::vector<outlina::Segment> out;
    outlina::SegmentWalker walker(path, first, last);
    outlina::Segment seg;
    while (walker.next(seg)) out.push_back(seg);
    return out;
  }
};

TEST_F(SegmentWalkerTest, YieldsEachKindWithItsPoints) {
  auto path = makePath({{1, 0, 0}, {3, 4, 0}, {31, 6, 2}, {33, 8, 0}, {41, 9, 1}, {42, 10, 2},
                        {44, 11, 0}, {21, 12, 1}, {22, 13, 0}, {11, 14, 0}, {13, 15, 0}});
  const auto segs = walk(path.get(), 0, 10);
  using K = outlina::SegKind;
  ASSERT_EQ(segs.size(), 7u);
  EXPECT_EQ(segs[0].kind, K::Start);
  EXPECT_EQ(segs[1].kind, K::Line);
  EXPECT_EQ(segs[2].kind, K::Cubic);  // the quadratic, as a cubic with halfway controls
  EXPECT_EQ(segs[2].c1.x, 5.0);
  EXPECT_EQ(segs[2].c1.y, 1.0);
  EXPECT_EQ(segs[2].c2.x, 7.0);
  EXPECT_EQ(segs[2].c2.y, 1.0);
  EXPECT_EQ(segs[3].kind, K::Cubic);
  EXPECT_EQ(segs[3].from.x, 8.0);
  EXPECT_EQ(segs[3].c2.x, 10.0);
  EXPECT_EQ(segs[4].kind, K::Arc);
  EXPECT_EQ(segs[4].c1.x, 12.0);
  EXPECT_EQ(segs[5].kind, K::Line);
  EXPECT_EQ(segs[6].kind, K::Line);
  EXPECT_EQ(segs[6].from.x, 14.0);
  EXPECT_EQ(segs[6].index, 10);
}

TEST_F(SegmentWalkerTest, MalformedCurvesDegradeToStraightOnesInsideThePath) {
  // 43 without controls, 22 right after the start, 32 without its control, unknown codes and a
  // dangling control at the very end.
  auto path = makePath({{1, 0, 0}, {22, 5, 0}, {43, 10, 0}, {99, 50, 50}, {-4, 60, 60},
                        {32, 10, 10}, {0, 70, 70}, {41, 80, 80}});
  const auto segs = walk(path.get(), -5, 1000);
  ASSERT_EQ(segs.size(), 4u);
  EXPECT_EQ(segs[1].c1.x, 0.0);
  EXPECT_EQ(segs[2].c1.x, 5.0);
  EXPECT_EQ(segs[2].c2.x, 5.0);
  EXPECT_EQ(segs[3].from.y, 0.0);  // the unknown codes left the previous point alone
  EXPECT_EQ(segs[3].c1.x, 10.0);
  EXPECT_EQ(segs[3].c2.y, 5.0);
  const Box box = boxOf(path.get(), 0);
  EXPECT_EQ(box, (Box{0, 0, 10, 10}));
  EXPECT_TRUE(walk(nullptr, 0, 3).empty());
  EXPECT_TRUE(walk(path.get(), 5, 2).empty());
}

TEST(GetMinMax, CubicContourBoxFollowsTheCurveNotItsControls) {
  // Controls far out to the sides: the box must follow the flattened curve.
  auto path = makePath({{1, 0, 0}, {41, -6, 8}, {42, 16, 8}, {43, 10, 0}, {41, 16, -8},
                        {42, -6, -8}, {43, 0, 0}});
  const Box box = boxOf(path.get(), 3);
  float minX = 0, maxX = 0, minY = 0, maxY = 0;
  const Pt p0{0, 0}, c1{-6, 8}, c2{16, 8}, p3{10, 0};
  for (int32_t i = 0; i <= 32; ++i) {
    // The first half of the outline; the second mirrors it in y.
    const double t = i / 32.0, u = 1 - t;
    const Pt b1 = p0 + (4.0 / 3.0) * (c1 - p0), b2 = p3 + (4.0 / 3.0) * (c2 - p3);
    const Pt s = u * u * u * p0 + 3 * u * u * t * b1 + 3 * u * t * t * b2 + t * t * t * p3;
    minX = std::fmin(minX, s.x), maxX = std::fmax(maxX, s.x);
    minY = std::fmin(minY, -s.y), maxY = std::fmax(maxY, s.y);
  }
  EXPECT_NEAR(box[0], minX, 1e-4);
  EXPECT_NEAR(box[1], minY, 1e-4);
  EXPECT_NEAR(box[2], maxX, 1e-4);
  EXPECT_NEAR(box[3], maxY, 1e-4);
  EXPECT_GT(box[0], -6.0f);
  EXPECT_LT(box[2], 16.0f);
}

TEST(GetMinMax, WholePathOrOneContour) {
  auto path = makePath({{1, 0, 0}, {2, 10, 0}, {2, 10, 10}, {2, 0, 0},
                        {1, 20, 5}, {2, 30, 5}, {2, 30, 15}, {2, 20, 5}});
  EXPECT_EQ(boxOf(path.get(), -1), (Box{0, 0, 30, 15}));
  EXPECT_EQ(boxOf(path.get(), 6), (Box{20, 5, 30, 15}));
  EXPECT_EQ(boxOf(path.get(), -2), (Box{20, 5, 30, 15}));
  EXPECT_EQ(boxOf(path.get(), 8), (Box{0, 0, 0, 0}));
  EXPECT_EQ(boxOf(path.get(), -3), (Box{0, 0, 0, 0}));
  EXPECT_EQ(boxOf(nullptr, -1), (Box{0, 0, 0, 0}));
  EXPECT_EQ(jVectGetMinMax(nullptr, path.get(), -1), nullptr);
  auto headless = makePath({{2, 3, 4}, {2, 5, 6}});
  EXPECT_EQ(boxOf(headless.get(), 1), (Box{0, 0, 0, 0}));
}

TEST(GetMinMax, ArcCircleReachesItsRadius) {
  auto path = arcCircle();
  const Box box = boxOf(path.get(), 0);
  for (int32_t k = 0; k < 4; ++k) EXPECT_NEAR(std::fabs(box[k]), 10.0f, 1e-4) << k;
}

TEST(IsInside, SquareGivesSenseOutsideAndOnPoint) {
  auto ccw = ccwSquare();
  EXPECT_EQ(jVectIsInside(ccw.get(), 0, 5, 5), 2);
  EXPECT_EQ(jVectIsInside(ccw.get(), -2, 15, 5), -1);
  EXPECT_EQ(jVectIsInside(ccw.get(), 2, 10, 10), 0);
  EXPECT_EQ(jVectIsInside(cwSquare().get(), 0, 5, 5), 1);
  EXPECT_EQ(jVectIsInside(ccw.get(), 5, 5, 5), 0);
  EXPECT_EQ(jVectIsInside(nullptr, 0, 5, 5), 0);
  EXPECT_EQ(jVectIsInside(ccw.get(), 0, std::numeric_limits<float>::quiet_NaN(), 5), -1);
}

TEST(IsInside, TwiceRoundCountsAsOutside) {
  auto path = makePath({{1, 0, 0}, {2, 10, 0}, {2, 10, 10}, {2, 0, 10}, {2, 0, 0},
                        {2, 10, 0}, {2, 10, 10}, {2, 0, 10}, {2, 0, 0}});
  EXPECT_EQ(jVectIsInside(path.get(), 0, 5, 5), -1);
}

TEST(IsInside, CurvesAreMeasuredFlattened) {
  auto circle = arcCircle();
  EXPECT_EQ(jVectIsInside(circle.get(), 0, 0, 0), 2);
  EXPECT_EQ(jVectIsInside(circle.get(), 0, 9.99f, 0), 2);
  EXPECT_EQ(jVectIsInside(circle.get(), 0, 7.1f, 7.1f), -1);
  EXPECT_EQ(jVectIsInside(circle.get(), 0, 0, 10), 0);  // the stored through point
  // Control points count as stored points.
  auto cubic = makePath({{1, 0, 0}, {41, 0, 8}, {42, 10, 8}, {43, 10, 0}, {2, 0, 0}});
  EXPECT_EQ(jVectIsInside(cubic.get(), 0, 10, 8), 0);
  EXPECT_EQ(jVectIsInside(cubic.get(), 0, 5, 4), 1);
}

TEST(IsInside, QuadraticsAndVariantsMatchTheirCubicAndPlainForms) {
  auto quad = makePath({{1, 0, 0}, {31, 5, 7}, {33, 10, 0}, {3, 10, -3}, {13, 0, -3}, {2, 0, 0}});
  auto cubic =
      makePath({{1, 0, 0}, {41, 2.5f, 3.5f}, {42, 7.5f, 3.5f}, {43, 10, 0}, {2, 10, -3},
                {12, 0, -3}, {2, 0, 0}});
  EXPECT_EQ(boxOf(quad.get(), 0), boxOf(cubic.get(), 0));
  for (float y = -3.9f; y <= 4.0f; y += 0.25f)
    for (float x = -1.0f; x <= 11.0f; x += 0.5f)
      EXPECT_EQ(jVectIsInside(quad.get(), 0, x, y), jVectIsInside(cubic.get(), 0, x, y))
          << x << " " << y;
  EXPECT_EQ(jVectGetLoopDir(quad.get(), 0), jVectGetLoopDir(cubic.get(), 0));
}

TEST(GetLoopDir, SenseAtTheLeftmostCrossing) {
  EXPECT_EQ(jVectGetLoopDir(ccwSquare().get(), 0), 2);
  EXPECT_EQ(jVectGetLoopDir(cwSquare().get(), -2), 1);
  EXPECT_EQ(jVectGetLoopDir(arcCircle().get(), 0), 2);
  EXPECT_EQ(jVectGetLoopDir(makePath({{1, 0, 3}, {2, 10, 3}}).get(), 0), 0);
  EXPECT_EQ(jVectGetLoopDir(nullptr, 0), 0);
  EXPECT_EQ(jVectGetLoopDir(ccwSquare().get(), 7), 0);
  // A NaN point neither crosses nor breaks the walk.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  auto bad = makePath({{1, 0, 0}, {2, 10, 0}, {2, nan, nan}, {2, 10, 10}, {2, 0, 10}, {2, 0, 0}});
  EXPECT_EQ(jVectGetLoopDir(bad.get(), 0), 2);
}

}  // namespace
