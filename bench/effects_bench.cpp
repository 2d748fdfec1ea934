// The effects on the standard text in 10 mm characters: the offset and widen each timed beside
// Clipper's offset of the same flattened polygons, the stripe and the shadows on their own.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <polyclipping/clipper.hpp>

#include "bench/clipper_compare.h"
#include "outlina.h"
#include "tests/support/text_workload.h"

namespace {

using clipper_compare::threadSeconds;

// Glyph cells are 10000 units high; this makes them 10 mm characters.
constexpr float kUnitsToMm = 0.001f;
constexpr float kOffsetMm = 0.3f;
constexpr float kWidenMm = 0.2f;
constexpr float kMiterLimit = 4.0f;
// Bands of 0.8 mm kept and 0.4 mm cut, slanted at 30 degrees.
constexpr JWeldStripeParam kStripe{0.8f, 0.4f, 2, 30.0f, 1};
// The shadow kinds run from the block to the one whose far face is scaled in proportion.
constexpr int32_t kLastShadowKind = 3;
// Clipper's round joins step like our flattening at the default 3 degree arc step.
constexpr double kArcStepRadians = 3.0 * 3.1415926535 / 180.0;

JVect *mmText() {
  JVect *text = jVectOpen(16);
  testing_support::setTextWorkload(text, 1.0);
  jVectScale(text, kUnitsToMm);
  return text;
}

// Times effect on a fresh copy of the text and Clipper's offset of the flattened text by delta
// (millimetres) in turn; the reported time is ours, vs_clipper our time over Clipper's.
void runSideBySide(benchmark::State &state, const std::function<int32_t(JVect *)> &effect,
                   double delta, ClipperLib::EndType ends) {
  JVect *text = mmText();
  JVect *flat = jVectDuplicate(text);
  jVectBezToSvt(flat, 2);
  const ClipperLib::Paths polygons = clipper_compare::polygonsOf(flat);
  const double scaledDelta = delta * clipper_compare::kClipperScale;
  JVect *work = jVectOpen(16);
  double ours = 0, theirs = 0;
  int32_t resultPoints = 0;
  size_t clipperPoints = 0;
  for (auto _ : state) {
    jVectCopy(work, text);
    const double t0 = threadSeconds();
    if (effect(work) != 1) state.SkipWithError("the effect failed");
    const double t1 = threadSeconds();
    ClipperLib::ClipperOffset offset(2.0, scaledDelta * (1 - std::cos(kArcStepRadians / 2)));
    offset.AddPaths(polygons, ClipperLib::jtRound, ends);
    ClipperLib::Paths out;
    offset.Execute(out, scaledDelta);
    const double t2 = threadSeconds();
    ours += t1 - t0;
    theirs += t2 - t1;
    resultPoints = jVectGetNum(work);
    clipperPoints = 0;
    for (const ClipperLib::Path &p : out) clipperPoints += p.size();
    state.SetIterationTime(t1 - t0);
  }
  state.counters["vs_clipper"] = theirs > 0 ? ours / theirs : 0;
  state.counters["clipper_ms"] = 1e3 * theirs / std::max<double>(1, state.iterations());
  state.counters["input_points"] = jVectGetNum(flat);
  state.counters["result_points"] = resultPoints;
  state.counters["clipper_points"] = static_cast<double>(clipperPoints);
  jVectClose(work);
  jVectClose(flat);
  jVectClose(text);
}

void OffsetText(benchmark::State &state) {
  const JWeldOffsetParam r{kOffsetMm, 0, 0, 0, JVJ_ROUND, kMiterLimit, 0, 1};
  runSideBySide(
      state, [&r](JVect *p) { return jWeldOffset(&r, p); }, kOffsetMm, ClipperLib::etClosedPolygon);
}
BENCHMARK(OffsetText)->UseManualTime()->Unit(benchmark::kMillisecond);

// Widening strokes each outline, a band of half the width on either side of it.
void WidenText(benchmark::State &state) {
  const JWeldWidenParam r{kWidenMm, JVC_ROUND, JVJ_ROUND, kMiterLimit, 1};
  runSideBySide(
      state, [&r](JVect *p) { return jWeldWiden(&r, p); }, kWidenMm / 2, ClipperLib::etClosedLine);
}
BENCHMARK(WidenText)->UseManualTime()->Unit(benchmark::kMillisecond);

// Times an effect without a Clipper counterpart on the text.
template <class Effect>
void runAlone(benchmark::State &state, Effect effect) {
  JVect *text = mmText();
  JVect *work = jVectOpen(16);
  for (auto _ : state) {
    jVectCopy(work, text);
    const double t0 = threadSeconds();
    if (effect(work) != 1) state.SkipWithError("the effect failed");
    state.SetIterationTime(threadSeconds() - t0);
  }
  state.counters["result_points"] = jVectGetNum(work);
  jVectClose(work);
  jVectClose(text);
}

// The stripe has no Clipper counterpart: its slits are cut by the combine.
void StripeText(benchmark::State &state) {
  runAlone(state, [](JVect *p) { return jWeldStripe(&kStripe, p); });
}
BENCHMARK(StripeText)->UseManualTime()->Unit(benchmark::kMillisecond);

// A shadow kind (first argument) under an option (second) on the text: moved 1.5 mm right and
// 1 mm down, a far face in proportion at 80 %, offsets of 0.3 mm.
void ShadowText(benchmark::State &state) {
  const auto kind = static_cast<int32_t>(state.range(0));
  const auto option = static_cast<int32_t>(state.range(1));
  const JWeldShadowParam r{kind, option, 1.5f, -1.0f, 80, kOffsetMm, 0, 0, 1};
  runAlone(state, [&r](JVect *p) { return jWeldShadow(&r, p); });
}
BENCHMARK(ShadowText)
    ->ArgNames({"kind", "option"})
    ->ArgsProduct({benchmark::CreateDenseRange(JWST_BLOCK, kLastShadowKind, 1),
                   benchmark::CreateDenseRange(JWSO_MERGE, JWSO_OFFSET_CUT_OFFSET, 1)})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
