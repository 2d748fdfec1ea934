// The envelope effect: its formulas point by point, and on a whole outline.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "outlina.h"
#include "shape/envelope_formula.h"
#include "support/path_builder.h"

namespace {

using namespace testing_support;
using namespace outlina;

constexpr float kW = 200.0f, kH = 100.0f;

struct Peak {
  int32_t type;
  double x, y;      // probe at the first crest of the shape's sine
  double expected;  // the moved coordinate there at 100 %
};

// Written from what each shape does at its crest: arches and waves move by a quarter of the
// extent, centre-line shapes scale the distance to the centre line by 0.5 or 1.5, edge-fixed
// shapes scale the distance to the fixed edge by 0.75 or 1.25.
constexpr Peak kPeaks[] = {
    {1, 100, 30, 55},    {2, 100, 30, 5},     {3, 100, 30, 40},   {4, 100, 30, 20},
    {5, 60, 50, 110},    {6, 60, 50, 10},     {7, 60, 50, 80},    {8, 60, 50, 40},
    {9, 50, 30, 55},     {10, 50, 30, 5},     {11, 50, 30, 40},   {12, 50, 30, 20},
    {13, 60, 25, 10},    {14, 60, 25, 110},   {15, 60, 25, 40},   {16, 60, 25, 80},
    {17, 100, 30, 47.5}, {18, 100, 30, 12.5}, {19, 50, 30, 47.5}, {20, 50, 30, 12.5},
    {21, 60, 50, 45},    {22, 60, 50, 75},    {23, 60, 25, 75},   {24, 60, 25, 45},
    {25, 100, 30, 22.5}, {26, 100, 30, 37.5}, {27, 50, 30, 22.5}, {28, 50, 30, 37.5},
    {29, 60, 50, 95},    {30, 60, 50, 25},    {31, 60, 25, 25},   {32, 60, 25, 95},
};

TEST(EnvelopeFormula, EveryShapeMovesItsCrestByTheFullStrength) {
  const EnvelopeBox box = envelopeBox(1.0f, kW, kH);
  EXPECT_EQ(box.k, 0.25f);
  for (const Peak &peak : kPeaks) {
    SCOPED_TRACE(peak.type);
    const Pt moved = envelopeMove(peak.type, box, {peak.x, peak.y});
    if (envelopeMovesY(peak.type)) {
      EXPECT_EQ(moved.x, peak.x);
      EXPECT_NEAR(moved.y, peak.expected, 1e-4);
    } else {
      EXPECT_EQ(moved.y, peak.y);
      EXPECT_NEAR(moved.x, peak.expected, 1e-4);
    }
  }
}

TEST(EnvelopeFormula, UnknownTypesAndZeroStrengthLeavePointsWhereTheyAre) {
  const EnvelopeBox full = envelopeBox(1.0f, kW, kH), none = envelopeBox(0.0f, kW, kH);
  for (int32_t type = -1; type <= 100; ++type) {
    const Pt p = envelopeMove(type, type >= 1 && type <= 32 ? none : full, {37.5, 12.25});
    EXPECT_TRUE(p.x == 37.5 && p.y == 12.25) << type;
  }
}

TEST(EnvelopeFormula, HalfWavesKeepTheEdgesTheSineStartsAndEndsOn) {
  const EnvelopeBox box = envelopeBox(1.0f, kW, kH);
  // sin(pi) with the short pi is not exactly 0, but rounds to far below a float step of H.
  for (double x : {0.0, 200.0}) {
    EXPECT_NEAR(envelopeMove(1, box, {x, 0}).y, 0.0, 1e-6);
    EXPECT_NEAR(envelopeMove(1, box, {x, kH}).y, kH, 1e-6);
  }
  // Points on the centre line do not move under the pinch.
  EXPECT_EQ(envelopeMove(3, box, {100, 50}).y, 50.0);
  // A point beyond the box keeps following the sine: one and a half widths is a trough.
  EXPECT_NEAR(envelopeMove(1, box, {300, 0}).y, -25.0, 1e-4);
}

TEST(EnvelopeFormula, SinesAreRoundedToFloatBeforeUse) {
  const EnvelopeBox box = envelopeBox(1.0f, 3.0f, 1.0f);
  const double x = 1.0;
  const float s = static_cast<float>(std::sin(3.1415926535 * x / 3.0));
  EXPECT_EQ(envelopeMove(1, box, {x, 0}).y, s * 1.0 * 0.25);
  EXPECT_NE(static_cast<double>(s), std::sin(3.1415926535 / 3.0));
}


// A 200 x 100 rectangle equal to its own reference box, clockwise with y up.
testing_support::PathPtr box() {
  return makePath({{1, 0, 0}, {2, 0, 100}, {2, 200, 100}, {2, 200, 0}, {2, 0, 0}});
}

// Runs the effect at 100 % and samples the refitted curves again, as the result is refitted.
Points shaped(int32_t type) {
  auto path = box();
  const JVectransShapeParam param{type, 100, 0.0f, 0.0f, 200.0f, 100.0f};
  EXPECT_EQ(jVectransShapeEffect(&param, path.get()), 1);
  EXPECT_EQ(jVectBezToSvt(path.get(), 3), 1);
  return pointsOf(path.get());
}

TEST(EnvelopeEffect, TypeOneArchesBothLongEdgesAndTypeTwentyFivePinchesTheTop) {
  // Type 1, k = 0.25: the lower edge peaks at 25 and the upper edge at 125 over the middle;
  // the vertical edges stay, as the sine is 0 at both ends of the width.
  float lowCrest = -1e9f, highCrest = -1e9f;
  for (const P &p : shaped(1)) {
    if (std::abs(p.x - 100.0f) < 1.0f) {
      float &crest = p.y < 50.0f ? lowCrest : highCrest;
      crest = std::max(crest, p.y);
    }
    EXPECT_TRUE(p.x >= -1e-3f && p.x <= 200.0f + 1e-3f) << p.x;
  }
  EXPECT_NEAR(lowCrest, 25.0f, 0.3f);
  EXPECT_NEAR(highCrest, 125.0f, 0.3f);
  // Type 25 draws the upper edge in to three quarters over the middle; the bottom stays.
  float lowestTop = 1e9f, lowest = 1e9f;
  for (const P &p : shaped(25)) {
    if (std::abs(p.x - 100.0f) < 1.0f && p.y > 50.0f) lowestTop = std::min(lowestTop, p.y);
    lowest = std::min(lowest, p.y);
  }
  EXPECT_NEAR(lowestTop, 75.0f, 0.3f);
  EXPECT_NEAR(lowest, 0.0f, 1e-3f);
}

TEST(EnvelopeEffect, TypesOutsideTheTableLeaveTheOutlineUndistorted) {
  for (int32_t type : {0, 33, -4}) {
    auto path = box();
    const JVectransShapeParam param{type, 100, 0.0f, 0.0f, 200.0f, 100.0f};
    ASSERT_EQ(jVectransShapeEffect(&param, path.get()), 1);
    // The flattened straight runs fit back to the four corners.
    EXPECT_EQ(pointsOf(path.get()), pointsOf(box().get())) << type;
  }
}

TEST(EnvelopeEffect, RefusesBadInputBeforeTouchingThePath) {
  auto path = box();
  const auto before = pointsOf(path.get());
  const JVectransShapeParam flat{1, 100, 0.0f, 5.0f, 200.0f, 5.0f};
  EXPECT_EQ(jVectransShapeEffect(&flat, path.get()), 0);
  const JVectransShapeParam narrow{5, 100, 3.0f, 0.0f, 3.0f, 100.0f};
  EXPECT_EQ(jVectransShapeEffect(&narrow, path.get()), 0);
  EXPECT_EQ(jVectransShapeEffect(nullptr, path.get()), 0);
  EXPECT_EQ(pointsOf(path.get()), before);
  const JVectransShapeParam good{1, 100, 0.0f, 0.0f, 200.0f, 100.0f};
  EXPECT_EQ(jVectransShapeEffect(&good, nullptr), 0);
  EXPECT_EQ(jVectransShapeEffect(&good, makePath({{1, 0, 0}}).get()), 0);
}

}  // namespace
