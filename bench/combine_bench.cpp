#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <polyclipping/clipper.hpp>
#include <random>
#include <vector>

#include "bench/clipper_compare.h"
#include "outlina.h"
#include "tests/support/text_workload.h"
#include "tests/weld/weld_shapes.h"

namespace {

using clipper_compare::threadSeconds;
using weld_shapes::Outline;

// Times our combine (rule 4) and Clipper's union of the same polygons, the contours of the
// flattened input, in turn; the reported time is ours and vs_clipper is our time over Clipper's.
void runSideBySide(benchmark::State &state, const JVect *input) {
  const ClipperLib::Paths polygons = clipper_compare::polygonsOf(input);
  const double vertices = jVectGetNum(input);
  JVect *work = jVectOpen(16);
  double ours = 0, theirs = 0;
  int32_t resultPoints = 0;
  for (auto _ : state) {
    jVectCopy(work, input);
    const double t0 = threadSeconds();
    if (jWeldCombineVect(work, JWM_UNION_ALL) != 1) state.SkipWithError("combine failed");
    const double t1 = threadSeconds();
    ClipperLib::Clipper clipper;
    clipper.AddPaths(polygons, ClipperLib::ptSubject, true);
    ClipperLib::Paths out;
    clipper.Execute(ClipperLib::ctUnion, out, ClipperLib::pftNegative, ClipperLib::pftNegative);
    const double t2 = threadSeconds();
    benchmark::DoNotOptimize(out.data());
    const double a = t1 - t0;
    ours += a;
    theirs += t2 - t1;
    resultPoints = jVectGetNum(work);
    state.SetIterationTime(a);
  }
  state.counters["vs_clipper"] = theirs > 0 ? ours / theirs : 0;
  state.counters["clipper_ms"] = 1e3 * theirs / std::max<double>(1, state.iterations());
  state.counters["vertices"] = vertices;
  state.counters["result_points"] = resultPoints;
  jVectClose(work);
}

void runSideBySide(benchmark::State &state, const std::vector<Outline> &outlines) {
  JVect *input = jVectOpen(16);
  for (const Outline &o : outlines) weld_shapes::addOutline(input, o);
  runSideBySide(state, input);
  jVectClose(input);
}

// The standard text in IPAGothic, neighbours overlapping, flattened at the default resolution.
void CombineText(benchmark::State &state) {
  JVect *text = jVectOpen(16);
  if (testing_support::setOverlappingText(text) < 150) {
    state.SkipWithError("the text could not be set");
  } else {
    jVectBezToSvt(text, 2);
    runSideBySide(state, text);
  }
  jVectClose(text);
}
BENCHMARK(CombineText)->UseManualTime()->Unit(benchmark::kMillisecond);

// 2,000 star polygons of 20 to 200 vertices, spread so that each overlaps about three others.
void CombineRandomPolygons(benchmark::State &state) {
  std::mt19937 rng(2000);
  std::uniform_real_distribution<float> at(0, 1600);
  std::uniform_int_distribution<int> vertices(20, 200);
  std::vector<Outline> outlines;
  for (int k = 0; k < 2000; ++k)
    outlines.push_back(weld_shapes::randomStar(rng, at(rng), at(rng), 20, vertices(rng), 0.15f));
  runSideBySide(state, outlines);
}
BENCHMARK(CombineRandomPolygons)->UseManualTime()->Unit(benchmark::kMillisecond);

// One glyph-sized contour: a zigzag of 100 rising strokes, then 100 strokes across them,
// 10,000 self-crossings.
void CombineSelfCrossings(benchmark::State &state) {
  Outline zigzag;
  for (int k = 0; k <= 100; ++k) zigzag.push_back({k % 2 ? 10000.0f : 0.0f, 100.0f * k});
  for (int k = 0; k <= 100; ++k) zigzag.push_back({50.0f + 99.0f * k, k % 2 ? -50.0f : 10050.0f});
  runSideBySide(state, {zigzag});
}
BENCHMARK(CombineSelfCrossings)->UseManualTime()->Unit(benchmark::kMillisecond);

// The standard text repeated to `characters` characters, 40 a line, each copy below the last:
// the long texts a sign maker welds in one go.
void CombineLongText(benchmark::State &state) {
  constexpr int kCharsPerLine = 40;
  constexpr double kLinePitch = 10000;
  JVect *block = jVectOpen(16);
  const int set = testing_support::setTextWorkload(block, 1.0, kCharsPerLine);
  if (set < 150) {
    state.SkipWithError("the text could not be set");
    jVectClose(block);
    return;
  }
  jVectBezToSvt(block, 2);
  const double blockDrop = kLinePitch * ((set + kCharsPerLine - 1) / kCharsPerLine);
  JVect *text = jVectOpen(16);
  for (int copy = 0; copy * set < state.range(0); ++copy) {
    JVect *moved = jVectDuplicate(block);
    JVectPoint *v = jVectGetVd(moved);
    for (int32_t i = 0; i < jVectGetNum(moved); ++i)
      v[i].y = static_cast<float>(v[i].y - copy * blockDrop);
    jVectAdd(text, moved);
    jVectClose(moved);
  }
  runSideBySide(state, text);
  jVectClose(text);
  jVectClose(block);
}
BENCHMARK(CombineLongText)
    ->Arg(5000)
    ->Arg(20000)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
