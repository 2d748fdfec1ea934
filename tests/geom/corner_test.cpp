#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "outlina/offset.h"

namespace {

constexpr float kUnset = 77.0f;
const float kHandle = std::sqrt(2.0f) - 1.0f;  // tan(22.5 degrees): a quarter turn of radius 1

JMathCorner corner(JMathXY a, JMathXY b, JMathXY c) {
  const JMathXY u{kUnset, kUnset};
  return {a, b, c, u, u, u, u, u};
}

struct Case {
  JMathXY a, b, c;
  float d;
  int32_t cap, join;
  float limit;
  int32_t axis, result;
  std::vector<JMathXY> points;  // p1, p2, ... as written; the rest must stay untouched
};

TEST(MathWeight, EveryConstructionGivesItsCodeAndWritesOnlyItsPoints) {
  const JMathXY o{0, 0}, r{10, 0}, ur{10, 10};
  const std::vector<Case> cases{
      // The concave side of a corner takes the crossing even for a round join.
      {o, r, ur, 1, JVC_FLAT, JVJ_ROUND, 4, JVO_BOTH, 4, {{9, 1}}},
      // Convex: a miter of length root 2 needs a limit above 1.
      {o, r, ur, -1, JVC_FLAT, JVJ_MITER, 1, JVO_BOTH, 6, {{10, -1}, {11, 0}}},
      {o, r, ur, -1, JVC_FLAT, JVJ_MITER, 1.5f, JVO_BOTH, 4, {{11, -1}}},
      {o, r, ur, -1, JVC_FLAT, JVJ_ROUND, 1, JVO_BOTH, 5, {{10, -1}, {10 + kHandle, -1}, {11, -kHandle}, {11, 0}}},
      {o, r, ur, 1, JVC_FLAT, JVJ_BEVEL, 4, JVO_X, 6, {{10, 0}, {9, 0}}},
      // Straight on, and parallel sides 2 apart (C short of A on the way back).
      {o, {5, 0}, r, 1, JVC_FLAT, JVJ_ROUND, 4, JVO_BOTH, 4, {{5, 1}}},
      {o, r, {5, 0}, 1, JVC_FLAT, JVJ_MITER, 100, JVO_BOTH, 6, {{10, 1}, {10, -1}}},
      {o, r, {5, 0}, 1, JVC_FLAT, JVJ_ROUND, 100, JVO_BOTH, 5, {{10, 1}, {11, 1}, {11, -1}, {10, -1}}},
      // Short inner sides: the third point is where the normals at A and C meet, if near.
      {o, {1, 0}, {1, 1}, 3, JVC_FLAT, JVJ_MITER, 4, JVO_BOTH, -1, {{1, 3}, {-2, 0}, {0, 1}}},
      {o, {1, 0}, {1, 1}, 1.2f, JVC_FLAT, JVJ_MITER, 4, JVO_BOTH, -1, {{1, 1.2f}, {-0.2f, 0}, {1, 1.2f}}},
      {o, r, o, 1, 7, JVJ_MITER, 4, JVO_BOTH, 0, {}},
      {o, r, ur, 1, JVC_FLAT, 9, 4, JVO_BOTH, 0, {}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case &k = cases[i];
    JMathCorner c = corner(k.a, k.b, k.c);
    ASSERT_EQ(jMathWeight(&c, k.d, k.cap, k.join, k.limit, k.axis), k.result) << i;
    const JMathXY *out[4] = {&c.p1, &c.p2, &c.p3, &c.p4};
    for (size_t j = 0; j < 4; ++j) {
      const JMathXY want = j < k.points.size() ? k.points[j] : JMathXY{kUnset, kUnset};
      EXPECT_NEAR(out[j]->x, want.x, 1e-6) << i << " p" << j + 1;
      EXPECT_NEAR(out[j]->y, want.y, 1e-6) << i << " p" << j + 1;
    }
  }
}

TEST(MathWeight, NullDegenerateAndNonFiniteInputAnswerWithoutFaults) {
  EXPECT_EQ(jMathWeight(nullptr, 1, JVC_FLAT, JVJ_MITER, 4, JVO_BOTH), 0);
  for (JMathCorner c : {corner({3, 3}, {3, 3}, {3, 3}), corner({0, 0}, {0, 0}, {5, 5})})
    jMathWeight(&c, 1, JVC_ROUND, JVJ_ROUND, 4, JVO_BOTH);
  JMathCorner c = corner({0, 0}, {10, 0}, {10, 10});
  jMathWeight(&c, NAN, JVC_ROUND, JVJ_ROUND, NAN, JVO_BOTH);
  jMathWeight(&c, INFINITY, JVC_ROUND, JVJ_MITER, 4, JVO_BOTH);
}

}  // namespace
