// Every weld effect run on the standard text at millimetre size, each result checked for the
// area and the reach its parameters promise.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <tuple>

#include "support/measure.h"
#include "support/text_workload.h"

namespace {

using namespace testing_support;

// Glyph cells are 10000 units high; this makes them 10 mm characters.
constexpr float kUnitsToMm = 0.001f;
// Curve refits may leave an extreme up to this far from the exact flattened outline.
constexpr double kFitSlackMm = 0.05;

class EffectsOnText : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    text_ = jVectOpen(16);
    glyphs_ = setTextWorkload(text_, 1.0);
    jVectScale(text_, kUnitsToMm);
    input_ = measure(text_);
  }
  static void TearDownTestSuite() { jVectClose(text_); }
  void SetUp() override { ASSERT_GE(glyphs_, 150) << "IPAGothic is needed to set the text"; }

  // Runs effect on a copy of the text; checks the area ratio to the input's (or to the
  // perimeter times perimeterFactor when that is set) and that every side moved outward by
  // low..high, the right and lower sides by shift more.
  static void check(const std::string &name, const std::function<int32_t(JVect *)> &effect,
                    double areaLow, double areaHigh, double low, double high,
                    double perimeterFactor = 0, double shift = 0) {
    PathPtr path(jVectDuplicate(text_));
    ASSERT_EQ(effect(path.get()), 1) << name;
    const Measure s = measure(path.get());
    const double base =
        perimeterFactor > 0 ? perimeterFactor * input_.length : std::fabs(input_.area);
    EXPECT_GE(std::fabs(s.area) / base, areaLow) << name;
    EXPECT_LE(std::fabs(s.area) / base, areaHigh) << name;
    const double grown[4] = {input_.box[0] - s.box[0], input_.box[1] - s.box[1] - shift,
                             s.box[2] - input_.box[2] - shift, s.box[3] - input_.box[3]};
    for (int i = 0; i < 4; ++i) {
      EXPECT_GE(grown[i], low - kFitSlackMm) << name << " side " << i;
      EXPECT_LE(grown[i], high + kFitSlackMm) << name << " side " << i;
    }
  }

  static JVect *text_;
  static int glyphs_;
  static Measure input_;
};

JVect *EffectsOnText::text_ = nullptr;
int EffectsOnText::glyphs_ = 0;
Measure EffectsOnText::input_;

TEST_F(EffectsOnText, EffectsGrowByTheirDistanceAndKeepTheirShare) {
  constexpr float kOut = 0.3f, kIn = 0.15f, kWidth = 0.2f, kMiter = 4.0f;
  const double outGain = 0.5 * kOut * input_.length / std::fabs(input_.area);
  const double inLoss = 0.5 * kIn * input_.length / std::fabs(input_.area);
  const JWeldOffsetParam out{kOut, 0, 0, 0, JVJ_MITER, kMiter, 0, 1};
  check(
      "offset out", [&](JVect *p) { return jWeldOffset(&out, p); }, 1 + outGain, 100, kOut,
      kMiter * kOut);
  // Thin strokes lose about the distance on both sides, more where they vanish.
  const JWeldOffsetParam in{kIn, 1, 0, 0, JVJ_ROUND, kMiter, 0, 1};
  check(
      "offset in", [&](JVect *p) { return jWeldOffset(&in, p); }, 0.2, 1 - inLoss, -4 * kIn, -kIn);
  // Bands overlap only where strokes come closer than the width; a round join whose sides meet
  // within sqrt(0.1) units of their ends is drawn sharp.
  const JWeldWidenParam widen{kWidth, JVC_SQUARE, JVJ_ROUND, 4.0f, 1};
  check(
      "widen", [&](JVect *p) { return jWeldWiden(&widen, p); }, 0.8, 1.05, kWidth / 2,
      std::sqrt(kWidth * kWidth / 4 + 0.1), kWidth);
  // Bands cross the glyphs at random phases, so on 200 glyphs the kept share is near 2/3.
  constexpr float kStripe = 0.4f, kSlit = 0.2f;
  for (int32_t direction : {0, 1}) {
    const JWeldStripeParam r{kStripe, kSlit, direction, 30.0f, 1};
    check(
        "stripe", [&](JVect *p) { return jWeldStripe(&r, p); }, 2.0 / 3 - 0.1, 2.0 / 3 + 0.1,
        -kSlit - kFitSlackMm, 0);
  }
  // Shadows reach their displacement, the block one its offset more.
  constexpr float kShift = 1.0f, kOffset = 0.3f;
  for (const auto &[type, option, low, high] :
       {std::tuple{JWST_DROP, 0, 0.0, 0.0},
        std::tuple{JWST_BLOCK, 3, double{kOffset}, 4.0 * kOffset}}) {
    const JWeldShadowParam r{type, option, kShift, -kShift, 50.0f, kOffset, 0, 0, 1};
    check(
        "shadow", [&](JVect *p) { return jWeldShadow(&r, p); }, 1, 100, low, high, 0, kShift);
  }
}

}  // namespace
