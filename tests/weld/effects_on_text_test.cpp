// The weld and its effects on the standard text: the weld against Clipper's union, each effect
// checked for the area and the reach its parameters promise.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <polyclipping/clipper.hpp>
#include <span>
#include <string>
#include <tuple>

#include "outlina.h"
#include "support/measure.h"
#include "support/text_workload.h"

namespace {

using namespace testing_support;

// Glyph cells are 10000 units high; this makes them 10 mm characters.
constexpr float kUnitsToMm = 0.001f;
// Curve refits may leave an extreme up to this far from the exact flattened outline.
constexpr double kFitSlackMm = 0.05;

TEST(EffectsOnText, EffectsGrowByTheirDistanceAndKeepTheirShare) {
  PathPtr text(jVectOpen(16));
  ASSERT_GE(setTextWorkload(text.get(), 1.0), 150) << "IPAGothic is needed to set the text";
  jVectScale(text.get(), kUnitsToMm);
  const Measure input = measure(text.get());
  // Runs effect on a copy of the text; checks the area ratio to the input's (or to the
  // perimeter times perimeterFactor when that is set) and that every side moved outward by
  // low..high, the right and lower sides by shift more.
  auto check = [&](const std::string &name, const std::function<int32_t(JVect *)> &effect,
                   double areaLow, double areaHigh, double low, double high,
                   double perimeterFactor = 0, double shift = 0) {
    PathPtr path(jVectDuplicate(text.get()));
    ASSERT_EQ(effect(path.get()), 1) << name;
    const Measure s = measure(path.get());
    const double base =
        perimeterFactor > 0 ? perimeterFactor * input.length : std::fabs(input.area);
    EXPECT_GE(std::fabs(s.area) / base, areaLow) << name;
    EXPECT_LE(std::fabs(s.area) / base, areaHigh) << name;
    const double grown[4] = {input.box[0] - s.box[0], input.box[1] - s.box[1] - shift,
                             s.box[2] - input.box[2] - shift, s.box[3] - input.box[3]};
    for (int i = 0; i < 4; ++i) {
      EXPECT_GE(grown[i], low - kFitSlackMm) << name << " side " << i;
      EXPECT_LE(grown[i], high + kFitSlackMm) << name << " side " << i;
    }
  };
  constexpr float kOut = 0.3f, kIn = 0.15f, kWidth = 0.2f, kMiter = 4.0f;
  const double outGain = 0.5 * kOut * input.length / std::fabs(input.area);
  const double inLoss = 0.5 * kIn * input.length / std::fabs(input.area);
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

TEST(WeldExecuteText, WeldsEachConnectedGroupOfLettersIntoOneCurvedOutline) {
  PathPtr path(jVectOpen(16));
  ASSERT_GT(setOverlappingText(path.get()), 150);
  // Clipper's union of the flattened text counts the connected groups independently.
  PathPtr flat(jVectDuplicate(path.get()));
  jVectBezToSvt(flat.get(), 2);
  ClipperLib::Paths polygons, united;
  for (const JVectPoint &v : std::span(jVectGetVd(flat.get()), jVectGetNum(flat.get()))) {
    if (v.mode == JVM_START) polygons.emplace_back();
    polygons.back().push_back({std::llround(v.x), std::llround(v.y)});
  }
  ClipperLib::Clipper clipper;
  clipper.AddPaths(polygons, ClipperLib::ptSubject, true);
  clipper.Execute(ClipperLib::ctUnion, united, ClipperLib::pftNegative, ClipperLib::pftNegative);
  int groups = 0;
  double area = 0;
  for (const auto &p : united) {
    groups += ClipperLib::Area(p) > 0;
    area += ClipperLib::Area(p);
  }

  ASSERT_EQ(jWeldExecute(JWM_UNION, path.get()), 1);
  int outer = 0, cubics = 0, flattened = 0;
  for (int32_t i = 0; i < jVectGetNum(path.get()); ++i) {
    const int16_t mode = jVectGetVd(path.get())[i].mode;
    if (mode == JVM_START) outer += jVectGetLoopDir(path.get(), i) == 1;
    cubics += mode == JVM_BEZ_END;
    flattened += mode == JVM_SVT || mode == JVM_SVT_END;
  }
  EXPECT_EQ(outer, groups);
  EXPECT_GT(cubics, 1000) << "curves are fitted again";
  EXPECT_EQ(flattened, 0);
  // Outer contours run clockwise, so the enclosed area is the negated shoelace sum; refitting
  // moves the outline by a fraction of a unit.
  EXPECT_NEAR(-measure(path.get()).area, area, 2e-3 * area);
}

}  // namespace
