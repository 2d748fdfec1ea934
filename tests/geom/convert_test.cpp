#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "frame/plinth_fault.h"
#include "outlina.h"
#include "support/path_builder.h"
#include "tests/geom/bezier_support.h"

namespace {

using namespace testing_support;

using XY = outlina::Pt;

std::vector<int> modesOf(const JVect *path) {
  std::vector<int> out;
  for (const P &p : pointsOf(path)) out.push_back(p.mode);
  return out;
}

TEST(Convert, BezToSvtWithoutFlatteningKeepsCurvesAsCubicsAndTags) {
  PathPtr path = makePath({{JVM_START, 0, 0, 7},
                           {JVM_QUAD_CTRL, 2, 2},
                           {JVM_QUAD_END_ALT, 4, 0},
                           {JVM_LINE_ALT, 5, 0},
                           {0, 99, 99},
                           {57, 98, 98},
                           {JVM_SVT, 0, 3},
                           {JVM_SVT_END_ALT, 0, 0},
                           {JVM_BEZ_END, 7, 8}});
  ASSERT_EQ(jVectBezToSvt(path.get(), 0), 1);
  // Second variants become first ones except 13; unknown and removed points are dropped; an end
  // without its own controls ends a straight segment.
  EXPECT_EQ(modesOf(path.get()), (std::vector<int>{1, 41, 42, 43, 2, 11, 13, 2}));
  // The raised quadratic's handles reach three quarters of the way to its inner cubic controls.
  const Points pts = pointsOf(path.get());
  EXPECT_EQ(pts[1], (P{JVM_BEZ_CTRL1, 1, 1}));
  EXPECT_EQ(pts[2], (P{JVM_BEZ_CTRL2, 3, 1}));
}

// Flattening a path that it would write as it is takes no memory and leaves the path alone; one
// record that it writes otherwise, in its mode, its tag or not at all, makes it rebuild the path.
TEST(Convert, BezToSvtCopiesNothingWhereItWouldChangeNothing) {
  const Points flat = {{JVM_START, 0, 0, 7},    {JVM_LINE, 4, 0},     {JVM_SVT, 4, 2},
                       {JVM_SVT_END, -0.0f, 3}, {JVM_START, 1, 5, 9}, {JVM_LINE, 1, 6}};
  PathPtr path = makePath(flat);
  jMemTestFailNth(1);
  EXPECT_EQ(jVectBezToSvt(path.get(), JVF_CURVES), 1);
  EXPECT_EQ(jMemTestArmed(), 1);
  jMemTestFailNth(0);
  EXPECT_EQ(pointsOf(path.get()), flat);
  for (const P &odd : {P{JVM_LINE_ALT, 4, 0}, P{JVM_LINE, 4, 0, 3}, P{JVM_NONE, 4, 0}}) {
    Points in = flat;
    in.push_back(odd);
    Points out = flat;
    if (odd.mode != JVM_NONE) out.push_back(P{JVM_LINE, 4, 0});
    PathPtr p = makePath(in);
    ASSERT_EQ(jVectBezToSvt(p.get(), JVF_CURVES), 1);
    EXPECT_EQ(pointsOf(p.get()), out) << odd;
  }
}

TEST(Convert, ArcToBezReplacesArcsByCubicsOnTheCircle) {
  PathPtr path = makePath({{JVM_START, 10, 0, 4},
                           {JVM_ARC_MID, 0, 10},
                           {JVM_ARC_END, -10, 0},
                           {JVM_LINE, -10, -5},
                           {JVM_ARC_MID, 0, -5},
                           {JVM_ARC_END, 10, -5}});
  ASSERT_EQ(jVectArcToBez(path.get()), 1);
  const Points pts = pointsOf(path.get());
  EXPECT_EQ(modesOf(path.get()), (std::vector<int>{1, 41, 42, 43, 41, 42, 43, 2, 2, 2}));
  EXPECT_EQ(pts[6], (P{JVM_BEZ_END, -10, 0}));
  XY from{10, 0};
  for (int b : {1, 4}) {
    for (int k = 0; k <= 20; ++k) {
      const XY v = standardBezier(from, {pts[b].x, pts[b].y}, {pts[b + 1].x, pts[b + 1].y},
                                  {pts[b + 2].x, pts[b + 2].y}, k / 20.0);
      EXPECT_TRUE(std::fabs(std::hypot(v.x, v.y) - 10.0) < 0.01 && v.y >= -1e-4) << b << " " << k;
    }
    from = {pts[b + 2].x, pts[b + 2].y};
  }
  EXPECT_EQ(Points(pts.begin() + 8, pts.end()), (Points{{JVM_LINE, 0, -5}, {JVM_LINE, 10, -5}}));
}

TEST(Convert, SvtToBezFitsOnePiecePerRun) {
  // Three points give the quadratic through the point on the ray to the middle point at half
  // the chord's length; a run along one axis gives a line; an unterminated run stays.
  PathPtr runs = makePath({{JVM_START, 0, 0},
                           {JVM_SVT, 5, 5},
                           {JVM_SVT_END, 10, 0},
                           {JVM_SVT, 10, 3},
                           {JVM_SVT, 10, 4},
                           {JVM_SVT_END, 10, 9},
                           {JVM_START, 0, 0},
                           {JVM_SVT, 1, 2},
                           {JVM_SVT, 2, 3},
                           {JVM_SVT, 4, 3},
                           {JVM_SVT, 6, 1}});
  ASSERT_EQ(jVectSvtToBez(runs.get()), 1);
  const Points out = pointsOf(runs.get());
  ASSERT_EQ(modesOf(runs.get()), (std::vector<int>{1, 31, 32, 2, 1, 11, 11, 11, 11}));
  const double q = 5.0 / std::sqrt(2.0);
  EXPECT_NEAR(out[1].x, 2 * q - 5, 1e-5);
  EXPECT_NEAR(out[1].y, 2 * q, 1e-5);
  EXPECT_EQ(out[3], (P{JVM_LINE, 10, 9}));
  EXPECT_EQ(out[8], (P{JVM_SVT, 6, 1}));
}

TEST(Convert, GetLineDropsAxisCollinearPointsAndStraightensFlatCurves) {
  // The vertical middle point goes; the diagonal lines the flat curves become stay.
  PathPtr path = makePath({{JVM_START, 0, 0},
                           {JVM_LINE, 0, 5},
                           {JVM_LINE, 0, 10},
                           {JVM_START, 0, 0},
                           {JVM_BEZ_CTRL1, 3, 3},
                           {JVM_BEZ_CTRL2, 7, 7},
                           {JVM_BEZ_END, 10, 10},
                           {JVM_QUAD_CTRL, 15, 15},
                           {JVM_QUAD_END_ALT, 20, 20},
                           {JVM_BEZ_CTRL1, 22, 25},
                           {JVM_BEZ_CTRL2, 28, 25},
                           {JVM_BEZ_END, 30, 20}});
  ASSERT_EQ(jVectGetLine(path.get()), 1);
  ASSERT_EQ(modesOf(path.get()), (std::vector<int>{1, 2, 1, 2, 2, 41, 42, 43}));
  EXPECT_EQ(pointsOf(path.get())[1], (P{JVM_LINE, 0, 10}));
  EXPECT_EQ(pointsOf(path.get())[4], (P{JVM_LINE, 20, 20}));
}

TEST(Convert, RefusalsLeaveThePathAlone) {
  for (int32_t r : {jVectBezToSvt(nullptr, 2), jVectArcToBez(nullptr), jVectSvtToBez(nullptr),
                    jVectGetLine(nullptr)})
    EXPECT_EQ(r, 0);
  PathPtr one = makePath({{JVM_START, 3, 4, 5}});
  EXPECT_EQ(jVectBezToSvt(one.get(), 3), 0);
  EXPECT_EQ(pointsOf(one.get()), (Points{{JVM_START, 3, 4, 5}}));
}

}  // namespace
