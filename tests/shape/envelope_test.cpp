// The envelope effect: its formulas point by point, and on a whole outline.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

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

// One shape of each family of four, written from what it does at its crest: arches and waves move
// by a quarter of the extent, centre-line shapes scale the distance to the centre line by 0.5
// or 1.5, edge-fixed shapes scale the distance to the fixed edge by 0.75 or 1.25.
constexpr Peak kPeaks[] = {
    {1, 100, 30, 55},    {5, 60, 50, 110}, {9, 50, 30, 55},     {13, 60, 25, 10},
    {17, 100, 30, 47.5}, {21, 60, 50, 45}, {25, 100, 30, 22.5}, {29, 60, 50, 95},
};

TEST(EnvelopeFormula, EveryShapeMovesItsCrestByTheFullStrength) {
  const EnvelopeBox box = envelopeBox(1.0f, kW, kH);
  EXPECT_EQ(box.k, 0.25f);
  for (const Peak &peak : kPeaks) {
    SCOPED_TRACE(peak.type);
    const Pt moved = envelopeMove(peak.type, box, {peak.x, peak.y});
    const bool movesY = envelopeMovesY(peak.type);
    EXPECT_NEAR(moved.x, movesY ? peak.x : peak.expected, 1e-4);
    EXPECT_NEAR(moved.y, movesY ? peak.expected : peak.y, 1e-4);
  }
}

TEST(EnvelopeFormula, UnknownTypesAndZeroStrengthLeavePointsWhereTheyAre) {
  const EnvelopeBox full = envelopeBox(1.0f, kW, kH), none = envelopeBox(0.0f, kW, kH);
  for (int32_t type = -1; type <= 100; ++type) {
    const Pt p = envelopeMove(type, type >= 1 && type <= 32 ? none : full, {37.5, 12.25});
    EXPECT_TRUE(p.x == 37.5 && p.y == 12.25) << type;
  }
}

TEST(EnvelopeFormula, SinesAreRoundedToFloat) {
  // Sines are rounded to float before use.
  const float s = static_cast<float>(std::sin(3.1415926535 / 3.0));
  EXPECT_EQ(envelopeMove(1, envelopeBox(1.0f, 3.0f, 1.0f), {1.0, 0}).y, s * 0.25);
  EXPECT_NE(static_cast<double>(s), std::sin(3.1415926535 / 3.0));
}

// A 200 x 100 rectangle equal to its own reference box, clockwise with y up.
PathPtr box() { return makePath({{1, 0, 0}, {2, 0, 100}, {2, 200, 100}, {2, 200, 0}, {2, 0, 0}}); }

TEST(EnvelopeEffect, ArchesAndPinchesTheRefittedOutline) {
  // Type 1 lifts the whole box by a quarter of its height over the middle; type 25 draws the
  // upper edge in to three quarters there and keeps the bottom.
  const struct {
    int32_t type;
    float top, bottom;  // highest point over the middle, lowest anywhere
  } cases[] = {{1, 125, 0}, {25, 75, 0}};
  for (const auto &c : cases) {
    auto path = box();
    const JVectransShapeParam param{c.type, 100, 0.0f, 0.0f, 200.0f, 100.0f};
    ASSERT_EQ(jVectransShapeEffect(&param, path.get()), 1);
    ASSERT_EQ(jVectBezToSvt(path.get(), 3), 1);
    float top = -1e9f, bottom = 1e9f;
    for (const P &p : pointsOf(path.get())) {
      if (std::abs(p.x - 100.0f) < 1.0f) top = std::max(top, p.y);
      bottom = std::min(bottom, p.y);
      EXPECT_TRUE(p.x >= -1e-3f && p.x <= 200.0f + 1e-3f) << p.x;
    }
    EXPECT_NEAR(top, c.top, 0.3f) << c.type;
    EXPECT_NEAR(bottom, c.bottom, 1e-3f) << c.type;
  }
}

TEST(EnvelopeEffect, OtherTypesLeaveTheOutlineAndBadInputIsRefused) {
  // The flattened straight runs fit back to the four corners.
  for (int32_t type : {0, 33, -4}) {
    auto path = box();
    const JVectransShapeParam param{type, 100, 0.0f, 0.0f, 200.0f, 100.0f};
    ASSERT_EQ(jVectransShapeEffect(&param, path.get()), 1);
    EXPECT_EQ(pointsOf(path.get()), pointsOf(box().get())) << type;
  }
  auto path = box();
  const auto before = pointsOf(path.get());
  const JVectransShapeParam flat{1, 100, 0.0f, 5.0f, 200.0f, 5.0f};
  EXPECT_EQ(jVectransShapeEffect(&flat, path.get()), 0);
  EXPECT_EQ(jVectransShapeEffect(nullptr, path.get()), 0);
  EXPECT_EQ(pointsOf(path.get()), before);
  const JVectransShapeParam good{1, 100, 0.0f, 0.0f, 200.0f, 100.0f};
  EXPECT_EQ(jVectransShapeEffect(&good, nullptr), 0);
  EXPECT_EQ(jVectransShapeEffect(&good, makePath({{1, 0, 0}}).get()), 0);
}

}  // namespace
