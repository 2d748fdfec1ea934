// The plane-geometry primitives and the corner constructions of the offsets, against exact values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iterator>
#include <tuple>
#include <vector>

#include "outlina/geom.h"
#include "outlina/offset.h"

namespace {

// The crossing of the lines snaps exactly onto an axis-parallel line, whichever line comes first;
// the segments' crossing counts endpoints but not collinear overlap, and is written even when it
// lies outside a segment.
TEST(MathCross, LinesAndSegments) {
  using Cross = int32_t (*)(float, float, float, float, float, float, float, float, float *);
  const struct {
    Cross fn;
    float l[8];
    int32_t result;
    float x, y;
  } cases[] = {
      {jMathCross, {0.1f, -3.7f, 0.1f, 5.3f, -2.9f, 0.3f, 7.1f, 0.3f}, 1, 0.1f, 0.3f},
      {jMathCross, {-2.9f, 0.3f, 7.1f, 0.3f, 0.1f, -3.7f, 0.1f, 5.3f}, 1, 0.1f, 0.3f},
      {jMathCross, {1, 0, 1, 5, 3, 0, 3, 5}, 0, 9, 9},
      {jMathCross, {0, 0, 2, 1, 0, 1, 4, 3}, 0, 9, 9},
      {jMathCross, {1, 1, 1, 1, 0, 0, 3, 5}, 0, 9, 9},
      {jMathRealCrossPoint, {0, 0, 2, 2, 2, 2, 4, 0}, 1, 2, 2},
      {jMathRealCrossPoint, {0, 0, 4, 0, 2, 0, 6, 0}, 0, 9, 9},
      {jMathRealCrossPoint, {0, 0, 1, 1, 3, 0, 2, 1}, 0, 1.5f, 1.5f},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto &c = cases[i];
    float out[2] = {9, 9};
    EXPECT_EQ(c.fn(c.l[0], c.l[1], c.l[2], c.l[3], c.l[4], c.l[5], c.l[6], c.l[7], out), c.result)
        << i;
    EXPECT_EQ(out[0], c.x) << i;
    EXPECT_EQ(out[1], c.y) << i;
  }
  EXPECT_EQ(jMathCross(0, 0, 4, 2, 0, 3, 3, 0, nullptr), 1);
}

// Radii from 0.05 up to 50000 are accepted; outside, and for collinear points, the outputs are
// zeroed.
TEST(MathCycOxOy, CentreRadiusSenseAndRefusals) {
  const struct {
    float p[6];
    int32_t sense;
    float cx, cy, r;
  } cases[] = {
      {{1, 0, 0, 1, -1, 0}, 0, 0, 0, 1},
      {{-1, 0, 0, 1, 1, 0}, 1, 0, 0, 1},
      {{50000, 0, 0, 50000, -50000, 0}, 0, 0, 0, 50000},
      {{0.05f, 0, 0, 0.05f, -0.05f, 0}, -1, 0, 0, 0},
      {{200000, 0, 0, 200000, -200000, 0}, -1, 0, 0, 0},
      {{0, 0, 1, 1, 2, 2}, -1, 0, 0, 0},
  };
  for (const auto &k : cases) {
    float c[2] = {9, 9}, r = 9;
    EXPECT_EQ(jMathCycOxOy(k.p[0], k.p[1], k.p[2], k.p[3], k.p[4], k.p[5], c, &r), k.sense)
        << k.p[0];
    EXPECT_TRUE(c[0] == k.cx && c[1] == k.cy && r == k.r) << k.p[0] << ": " << r;
  }
  EXPECT_EQ(jMathCycOxOy(1, 0, 0, 1, -1, 0, nullptr, nullptr), 0);
  // A vertical chord decides by the side of the middle point.
  float c[2], r;
  for (auto [x2, y1, sense] :
       {std::tuple{1.0f, -1.0f, 0}, {-1.0f, -1.0f, 1}, {1.0f, 1.0f, 1}, {-1.0f, 1.0f, 0}})
    EXPECT_EQ(jMathCycOxOy(0, y1, x2, 0, 0, -y1, c, &r), sense) << x2 << " " << y1;
}

constexpr float kUnset = 77.0f;

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
  const float h = std::sqrt(2.0f) - 1.0f;  // tan(22.5 degrees): a quarter turn of radius 1
  const std::vector<JMathXY> arc{{10, -1}, {10 + h, -1}, {11, -h}, {11, 0}};
  const std::vector<Case> cases{
      // The concave side of a corner takes the crossing even for a round join.
      {o, r, ur, 1, JVC_FLAT, JVJ_ROUND, 4, JVO_BOTH, 4, {{9, 1}}},
      // Convex: a miter of length root 2 needs a limit above 1.
      {o, r, ur, -1, JVC_FLAT, JVJ_MITER, 1, JVO_BOTH, 6, {{10, -1}, {11, 0}}},
      {o, r, ur, -1, JVC_FLAT, JVJ_MITER, 1.5f, JVO_BOTH, 4, {{11, -1}}},
      {o, r, ur, -1, JVC_FLAT, JVJ_ROUND, 1, JVO_BOTH, 5, arc},
      {o, r, ur, 1, JVC_FLAT, JVJ_BEVEL, 4, JVO_X, 6, {{10, 0}, {9, 0}}},
      // Short inner sides: the third point is where the normals at A and C meet, if near.
      {o, {1, 0}, {1, 1}, 3, JVC_FLAT, JVJ_MITER, 4, JVO_BOTH, -1, {{1, 3}, {-2, 0}, {0, 1}}},
      {o, r, o, 1, 7, JVJ_MITER, 4, JVO_BOTH, 0, {}},
      {o, r, ur, 1, JVC_FLAT, 9, 4, JVO_BOTH, 0, {}},
  };
  EXPECT_EQ(jMathWeight(nullptr, 1, JVC_FLAT, JVJ_MITER, 4, JVO_BOTH), 0);
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case &k = cases[i];
    JMathCorner c = corner(k.a, k.b, k.c);
    ASSERT_EQ(jMathWeight(&c, k.d, k.cap, k.join, k.limit, k.axis), k.result) << i;
    const JMathXY *out[4] = {&c.p1, &c.p2, &c.p3, &c.p4};
    for (size_t j = 0; j < 4; ++j) {
      const JMathXY want = j < k.points.size() ? k.points[j] : JMathXY{kUnset, kUnset};
      EXPECT_LT(std::hypot(out[j]->x - want.x, out[j]->y - want.y), 1e-6) << i << " p" << j + 1;
    }
  }
}

}  // namespace
