#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "outlina/offset.h"

namespace {

constexpr float kSentinel = 77.0f;

// A corner record with every output pair set to a sentinel, so that untouched fields show.
JMathCorner corner(float ax, float ay, float bx, float by, float cx, float cy) {
  const JMathXY s{kSentinel, kSentinel};
  return {{ax, ay}, {bx, by}, {cx, cy}, s, s, s, s, s};
}

void expectXY(JMathXY p, float x, float y) {
  EXPECT_FLOAT_EQ(p.x, x);
  EXPECT_FLOAT_EQ(p.y, y);
}

bool untouched(JMathXY p) { return p.x == kSentinel && p.y == kSentinel; }

// V(1/2) of a cubic segment in the three-quarter-handle form.
JMathXY cubicMiddle(const JMathCorner &c) {
  return {(c.p2.x + c.p3.x) * 0.5f, (c.p2.y + c.p3.y) * 0.5f};
}

TEST(MathWeight, ConcaveRightAngleGivesTheCrossingForMiterAndRoundAndTwoPointsForBevel) {
  JMathCorner c = corner(0, 0, 10, 0, 10, 10);
  ASSERT_EQ(jMathWeight(&c, 1, JVC_FLAT, JVJ_MITER, 4, JVO_BOTH), 4);
  expectXY(c.cross, 9, 1);
  expectXY(c.p1, 9, 1);
  EXPECT_TRUE(untouched(c.p2));

  c = corner(0, 0, 10, 0, 10, 10);
  ASSERT_EQ(jMathWeight(&c, 1, JVC_FLAT, JVJ_BEVEL, 4, JVO_BOTH), 6);
  expectXY(c.p1, 10, 1);
  expectXY(c.p2, 9, 0);
  EXPECT_TRUE(untouched(c.p3));

  // The offset moves into the corner, so the round join has nothing to round.
  c = corner(0, 0, 10, 0, 10, 10);
  ASSERT_EQ(jMathWeight(&c, 1, JVC_FLAT, JVJ_ROUND, 4, JVO_BOTH), 4);
  expectXY(c.p1, 9, 1);
}

TEST(MathWeight, ConvexRightAngleBevelsPastTheLimitAndRoundsWithQuarterCircle) {
  JMathCorner c = corner(0, 0, 10, 0, 10, 10);
  ASSERT_EQ(jMathWeight(&c, -1, JVC_FLAT, JVJ_MITER, 1, JVO_BOTH), 6);
  expectXY(c.cross, 11, -1);
  expectXY(c.p1, 10, -1);
  expectXY(c.p2, 11, 0);

  c = corner(0, 0, 10, 0, 10, 10);
  ASSERT_EQ(jMathWeight(&c, -1, JVC_FLAT, JVJ_MITER, 1.5f, JVO_BOTH), 4);
  expectXY(c.p1, 11, -1);

  c = corner(0, 0, 10, 0, 10, 10);
  ASSERT_EQ(jMathWeight(&c, -1, JVC_FLAT, JVJ_ROUND, 1, JVO_BOTH), 5);
  const float handle = std::sqrt(2.0f) - 1.0f;  // tan(22.5 degrees) for a radius of 1
  expectXY(c.p1, 10, -1);
  expectXY(c.p2, 10 + handle, -1);
  expectXY(c.p3, 11, -handle);
  expectXY(c.p4, 11, 0);
}

TEST(MathWeight, RoundJoinMiddleLiesOnTheCircleForEveryTurn) {
  // The handles |d| tan(a / 4) put V(1/2) exactly at |d| from the vertex. Below about 14
  // degrees B1 lies within the square root of 0.1 of the crossing and the crossing is used.
  for (int deg = 10; deg <= 170; deg += 20) {
    const double a = deg * 3.14159265358979 / 180.0;
    const float d = -2.5f;
    JMathCorner c = corner(-10, 0, 0, 0, static_cast<float>(10 * std::cos(a)),
                           static_cast<float>(10 * std::sin(a)));
    const int32_t result = jMathWeight(&c, d, JVC_FLAT, JVJ_ROUND, 1, JVO_BOTH);
    if (deg == 10) {
      EXPECT_EQ(result, 4);
      EXPECT_TRUE(c.p1.x == c.cross.x && c.p1.y == c.cross.y);
      continue;
    }
    ASSERT_EQ(result, 5) << deg;
    const JMathXY m = cubicMiddle(c);
    EXPECT_NEAR(std::hypot(m.x, m.y), 2.5, 1e-5) << deg;
    EXPECT_NEAR(std::hypot(c.p1.x, c.p1.y), 2.5, 1e-6) << deg;
    EXPECT_NEAR(std::hypot(c.p4.x, c.p4.y), 2.5, 1e-6) << deg;
  }
}

TEST(MathWeight, TurnBackGetsFlatSquareOrRoundCapAndRefusesOtherCaps) {
  JMathCorner c = corner(0, 0, 10, 0, 0, 0);
  ASSERT_EQ(jMathWeight(&c, 1, JVC_FLAT, JVJ_MITER, 4, JVO_BOTH), 3);
  expectXY(c.p1, 10, 1);
  expectXY(c.p2, 10, -1);
  EXPECT_TRUE(untouched(c.cross));

  c = corner(0, 0, 10, 0, 0, 0);
  ASSERT_EQ(jMathWeight(&c, 1, JVC_SQUARE, JVJ_MITER, 4, JVO_BOTH), 1);
  expectXY(c.p1, 11, 1);
  expectXY(c.p2, 11, -1);

  c = corner(0, 0, 10, 0, 0, 0);
  ASSERT_EQ(jMathWeight(&c, 1, JVC_ROUND, JVJ_MITER, 4, JVO_BOTH), 2);
  expectXY(c.p1, 10, 1);
  expectXY(c.p2, 11, 1);
  expectXY(c.p3, 11, -1);
  expectXY(c.p4, 10, -1);
  expectXY(cubicMiddle(c), 11, 0);

  c = corner(0, 0, 10, 0, 0, 0);
  EXPECT_EQ(jMathWeight(&c, 1, 7, JVJ_MITER, 4, JVO_BOTH), 0);
  EXPECT_TRUE(untouched(c.cross) && untouched(c.p1) && untouched(c.p2));
}

TEST(MathWeight, StraightThroughPointGivesOneSidePoint) {
  JMathCorner c = corner(0, 0, 5, 0, 10, 0);
  ASSERT_EQ(jMathWeight(&c, 1, JVC_FLAT, JVJ_ROUND, 4, JVO_BOTH), 4);
  expectXY(c.cross, 5, 1);
  expectXY(c.p1, 5, 1);
}

TEST(MathWeight, ParallelSidesFarApartBevelOrRoundLikeACap) {
  // C lies on the line back but short of A: the sides are parallel, 2 apart.
  JMathCorner c = corner(0, 0, 10, 0, 5, 0);
  ASSERT_EQ(jMathWeight(&c, 1, JVC_FLAT, JVJ_MITER, 100, JVO_BOTH), 6);
  expectXY(c.cross, 0, 0);
  expectXY(c.p1, 10, 1);
  expectXY(c.p2, 10, -1);

  c = corner(0, 0, 10, 0, 5, 0);
  ASSERT_EQ(jMathWeight(&c, 1, JVC_FLAT, JVJ_ROUND, 100, JVO_BOTH), 5);
  expectXY(c.p2, 11, 1);
  expectXY(c.p3, 11, -1);
  expectXY(c.p4, 10, -1);
}

TEST(MathWeight, ShortInnerSidesCrossOutsideAndGiveTheNormalsMeetingAsThirdPoint) {
  JMathCorner c = corner(0, 0, 1, 0, 1, 1);
  ASSERT_EQ(jMathWeight(&c, 3, JVC_FLAT, JVJ_MITER, 4, JVO_BOTH), -1);
  expectXY(c.cross, -2, 3);
  expectXY(c.p1, 1, 3);
  expectXY(c.p2, -2, 0);
  expectXY(c.p3, 0, 1);

  // The normals meet farther than |d| from the vertex: the first side's end stands in.
  c = corner(0, 0, 1, 0, 1, 1);
  ASSERT_EQ(jMathWeight(&c, 1.2f, JVC_FLAT, JVJ_MITER, 4, JVO_BOTH), -1);
  expectXY(c.p3, 1, 1.2f);
}

TEST(MathWeight, AxisChoiceMovesOnlyItsComponent) {
  JMathCorner c = corner(0, 0, 10, 0, 10, 10);
  ASSERT_EQ(jMathWeight(&c, 1, JVC_FLAT, JVJ_MITER, 4, JVO_X), 4);
  expectXY(c.p1, 9, 0);
  c = corner(0, 0, 10, 0, 10, 10);
  ASSERT_EQ(jMathWeight(&c, 1, JVC_FLAT, JVJ_BEVEL, 4, JVO_X), 6);
  expectXY(c.p1, 10, 0);  // the horizontal side does not move at all
  expectXY(c.p2, 9, 0);
  c = corner(0, 0, 10, 0, 10, 10);
  ASSERT_EQ(jMathWeight(&c, 1, JVC_FLAT, JVJ_MITER, 4, JVO_Y), 4);
  expectXY(c.p1, 10, 1);
}

TEST(MathWeight, RefusesUnknownJoinsAndNullAndSurvivesDegenerateSides) {
  JMathCorner c = corner(0, 0, 10, 0, 10, 10);
  EXPECT_EQ(jMathWeight(&c, 1, JVC_FLAT, 9, 4, JVO_BOTH), 0);
  EXPECT_TRUE(untouched(c.p1) && untouched(c.p2));
  EXPECT_EQ(jMathWeight(nullptr, 1, JVC_FLAT, JVJ_MITER, 4, JVO_BOTH), 0);

  // Zero-length sides and non-finite distances must answer without faults.
  c = corner(3, 3, 3, 3, 3, 3);
  jMathWeight(&c, 1, JVC_ROUND, JVJ_ROUND, 4, JVO_BOTH);
  c = corner(0, 0, 0, 0, 5, 5);
  jMathWeight(&c, 1, JVC_ROUND, JVJ_ROUND, 4, JVO_BOTH);
  c = corner(0, 0, 10, 0, 10, 10);
  jMathWeight(&c, NAN, JVC_ROUND, JVJ_ROUND, 4, JVO_BOTH);
  c = corner(0, 0, 10, 0, 10, 10);
  jMathWeight(&c, INFINITY, JVC_ROUND, JVJ_MITER, 4, JVO_BOTH);
}

}  // namespace
