#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <tuple>

#include "outlina/geom.h"

namespace {

// The crossing point snaps exactly onto an axis-parallel line, whichever line comes first.
TEST(MathCross, SnapsOntoAxisParallelLinesAndRefusesParallelOnes) {
  const struct { float l[8]; int32_t result; float x, y; } cases[] = {
      {{0.1f, -3.7f, 0.1f, 5.3f, -2.9f, 0.3f, 7.1f, 0.3f}, 1, 0.1f, 0.3f},
      {{-2.9f, 0.3f, 7.1f, 0.3f, 0.1f, -3.7f, 0.1f, 5.3f}, 1, 0.1f, 0.3f},
      {{1, 0, 1, 5, 3, 0, 3, 5}, 0, 42, -42},
      {{0, 0, 2, 1, 0, 1, 4, 3}, 0, 42, -42},
      {{1, 1, 1, 1, 0, 0, 3, 5}, 0, 42, -42},
  };
  for (const auto &c : cases) {
    float out[2] = {42.0f, -42.0f};
    EXPECT_EQ(jMathCross(c.l[0], c.l[1], c.l[2], c.l[3], c.l[4], c.l[5], c.l[6], c.l[7], out), c.result) << c.l[0];
    EXPECT_EQ(out[0], c.x) << c.l[0];
    EXPECT_EQ(out[1], c.y) << c.l[0];
  }
  float out[2] = {};
  ASSERT_EQ(jMathCross(0.3f, 0.7f, 9.1f, 0.7f, -1.3f, -2.1f, 5.9f, 3.3f, out), 1);
  EXPECT_EQ(out[1], 0.7f);
  ASSERT_EQ(jMathCross(-1.3f, -2.1f, 5.9f, 3.3f, 1.7f, 0.0f, 1.7f, 8.0f, out), 1);
  EXPECT_EQ(out[0], 1.7f);
  EXPECT_EQ(jMathCross(0, 0, 4, 2, 0, 3, 3, 0, nullptr), 1);
}

TEST(MathCross, AgreesWithAnIndependentParametricSolve) {
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<float>(static_cast<int32_t>(seed >> 8) % 20000) / 37.0f - 270.0f;
  };
  for (int i = 0; i < 200; ++i) {
    const float x1 = next(), y1 = next(), x2 = next(), y2 = next();
    const float x3 = next(), y3 = next(), x4 = next(), y4 = next();
    // P1 + t (P2 - P1) = P3 + s (P4 - P3), solved by Cramer's rule.
    const double ax = x2 - double{x1}, ay = y2 - double{y1};
    const double bx = x4 - double{x3}, by = y4 - double{y3};
    const double det = ax * -by + bx * ay;
    if (std::fabs(det) < 1.0) continue;
    const double t = ((x3 - double{x1}) * -by + bx * (y3 - double{y1})) / det;
    float out[2];
    ASSERT_EQ(jMathCross(x1, y1, x2, y2, x3, y3, x4, y4, out), 1);
    const double scale = 1.0 + std::fabs(x1 + t * ax) + std::fabs(y1 + t * ay);
    EXPECT_NEAR(out[0], x1 + t * ax, 1e-5 * scale);
    EXPECT_NEAR(out[1], y1 + t * ay, 1e-5 * scale);
  }
}

// Endpoints count and collinear overlap does not; a crossing outside a segment is still written.
TEST(MathRealCrossPoint, EndpointsCountCollinearAndOutsideCrossingsDoNot) {
  const struct { float l[8]; int32_t result; float x, y; } cases[] = {
      {{0, 0, 2, 2, 2, 2, 4, 0}, 1, 2, 2},        {{0, 0, 4, 0, 2, 0, 2, 5}, 1, 2, 0},
      {{0, 0, 4, 0, 2, 0, 6, 0}, 0, 9, 9},        {{0, 1, 4, 1, 1, 0, 3, 2}, 1, 2, 1},
      {{0, 0, 1, 1, 3, 0, 2, 1}, 0, 1.5f, 1.5f},  {{-1, 2, 1, 2, 0, 0, 0, 1.99f}, 0, 0, 2},
  };
  for (const auto &c : cases) {
    float out[2] = {9, 9};
    EXPECT_EQ(jMathRealCrossPoint(c.l[0], c.l[1], c.l[2], c.l[3], c.l[4], c.l[5], c.l[6], c.l[7], out), c.result);
    EXPECT_EQ(out[0], c.x) << c.l[4] << " " << c.l[6];
    EXPECT_EQ(out[1], c.y) << c.l[4] << " " << c.l[6];
  }
}

TEST(MathAtan, AxisValuesUseTheLibraryHalfPiAndOtherwiseAtan2) {
  EXPECT_EQ(jMathAtan(0, 0), 0.0);
  EXPECT_EQ(jMathAtan(1, 0), 1.57079632675);
  EXPECT_EQ(jMathAtan(-3, 0), -1.57079632675);
  EXPECT_NE(jMathAtan(1, 0), std::atan2(1.0, 0.0));
  EXPECT_EQ(jMathAtan(0, -1), std::atan2(0.0, -1.0));
  EXPECT_EQ(jMathAtan(-2, 5), std::atan2(-2.0, 5.0));
}

TEST(MathScalars, CosineSideAndDistances) {
  // A zero ray or a right angle gives a zero cosine.
  for (auto [ax, ay, bx, by] : {std::tuple{1.0f, 1.0f, 5.0f, 2.0f}, {5.0f, 2.0f, 1.0f, 1.0f}, {3.0f, 1.0f, 1.0f, 4.0f}})
    EXPECT_EQ(jMathCos(ax, ay, 1, 1, bx, by), 0.0);
  EXPECT_DOUBLE_EQ(jMathCos(2, 0, 0, 0, 3, 3), 1.0 / std::sqrt(2.0));
  EXPECT_DOUBLE_EQ(jMathCos(2, 0, 0, 0, -7, 0), -1.0);
  // The sign tells the side, and swapping the line flips it.
  EXPECT_EQ(jMathLR(2, 2, 0, 0, 5, 5), 0.0);
  EXPECT_EQ(jMathLR(1, 0, 0, 0, 0, 1), 1.0);
  EXPECT_EQ(jMathLR(1, 0, 0, 1, 0, 0), -1.0);
  EXPECT_EQ(jMathLR(3, 7, 1, 2, 4, -1), -(jMathLR(3, 7, 4, -1, 1, 2)));
  EXPECT_EQ(jMathLR(3, 7, 1, 2, 4, -1), (3.0 - 1) * (-1 - 2) - (7.0 - 2) * (4 - 1));
  EXPECT_EQ(jMathLen(1, 1, 4, 5), 5.0);
  EXPECT_EQ(jMathLen2(1, 1, 4, 5), 25.0);
  EXPECT_EQ(jMathDis(2, 3, 2, 3, -1.5f, 9), 3.5);
  EXPECT_EQ(jMathDis(2, 0, 2, 7, 5, 100), 3.0);
  EXPECT_EQ(jMathDis(0, 0, 1, 1, 2, 0), std::sqrt(2.0));
  EXPECT_EQ(jMathDis(0, 4, 3, 4, -8, 1), 3.0);
}

// Radii from 0.05 up to 50000 are accepted; outside, and for collinear or doubled points, the
// outputs are zeroed.
TEST(MathCycOxOy, CentreRadiusSenseAndRefusals) {
  const struct { float p[6]; int32_t sense; float cx, cy, r; } cases[] = {
      {{1, 0, 0, 1, -1, 0}, 0, 0, 0, 1},
      {{-1, 0, 0, 1, 1, 0}, 1, 0, 0, 1},
      {{2, 1, 1, 2, 0, 1}, 0, 1, 1, 1},
      {{50000, 0, 0, 50000, -50000, 0}, 0, 0, 0, 50000},
      {{0.05f, 0, 0, 0.05f, -0.05f, 0}, -1, 0, 0, 0},
      {{200000, 0, 0, 200000, -200000, 0}, -1, 0, 0, 0},
      {{0, 0, 1, 1, 2, 2}, -1, 0, 0, 0},
      {{1, 1, 1, 1, 1, 1}, -1, 0, 0, 0},
      {{3, 1, 3, 1, 5, 8}, -1, 0, 0, 0},
  };
  for (const auto &k : cases) {
    float c[2] = {9, 9}, r = 9;
    EXPECT_EQ(jMathCycOxOy(k.p[0], k.p[1], k.p[2], k.p[3], k.p[4], k.p[5], c, &r), k.sense) << k.p[0];
    EXPECT_TRUE(c[0] == k.cx && c[1] == k.cy && r == k.r) << k.p[0] << ": " << c[0] << " " << c[1] << " " << r;
  }
  EXPECT_EQ(jMathCycOxOy(1, 0, 0, 1, -1, 0, nullptr, nullptr), 0);
  // A vertical chord decides by the side of the middle point.
  float c[2], r;
  for (auto [x2, y1, sense] : {std::tuple{1.0f, -1.0f, 0}, {-1.0f, -1.0f, 1}, {1.0f, 1.0f, 1}, {-1.0f, 1.0f, 0}})
    EXPECT_EQ(jMathCycOxOy(0, y1, x2, 0, 0, -y1, c, &r), sense) << x2 << " " << y1;
}

// The sense must say whether the polar angle about the centre falls from P1 via P2 to P3,
// which for three points of a circle is the sign of the triangle's orientation.
TEST(MathCycOxOy, SenseMatchesTheTriangleOrientationAllAroundTheCircle) {
  const double cx = 12.5, cy = -3.25, radius = 40.0;
  for (int a = 0; a < 24; ++a)
    for (int b = 1; b < 12; ++b)
      for (int sign : {1, -1}) {
        const double t1 = a * 0.2618, t2 = t1 + sign * b * 0.13, t3 = t1 + sign * b * 0.26;
        auto x = [&](double t) { return static_cast<float>(cx + radius * std::cos(t)); };
        auto y = [&](double t) { return static_cast<float>(cy + radius * std::sin(t)); };
        float c[2], r;
        EXPECT_EQ(jMathCycOxOy(x(t1), y(t1), x(t2), y(t2), x(t3), y(t3), c, &r), sign < 0 ? 1 : 0) << a << " " << b;
        EXPECT_TRUE(std::fabs(c[0] - cx) < 1e-3 && std::fabs(c[1] - cy) < 1e-3 && std::fabs(r - radius) < 1e-3)
            << a << " " << b;
      }
}

}  // namespace
