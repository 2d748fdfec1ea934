#include <benchmark/benchmark.h>
#include <polyclipping/clipper.hpp>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "outlina.h"
#include "tests/weld/weld_shapes.h"

namespace {

using weld_shapes::Outline;

// Clipper works on integers; this keeps sub-unit detail of glyph-sized coordinates.
constexpr double kClipperScale = 1024.0;

// Times our combine (rule 4) and Clipper's union of the same polygons in turn; the reported
// time is ours and vs_clipper is our time over Clipper's.
void runSideBySide(benchmark::State &state, const std::vector<Outline> &outlines) {
  JVect *input = jVectOpen(16);
  ClipperLib::Paths polygons;
  size_t vertices = 0;
  for (const Outline &o : outlines) {
    weld_shapes::addOutline(input, o);
    ClipperLib::Path p;
    for (const auto &v : o)
      p.push_back({std::llround(v.x * kClipperScale), std::llround(v.y * kClipperScale)});
    polygons.push_back(p);
    vertices += o.size();
  }
  JVect *work = jVectOpen(16);
  double ours = 0, theirs = 0;
  int32_t resultPoints = 0;
  for (auto _ : state) {
    jVectCopy(work, input);
    auto t0 = std::chrono::steady_clock::now();
    if (jWeldCombineVect(work, JWM_UNION_ALL) != 1) state.SkipWithError("combine failed");
    auto t1 = std::chrono::steady_clock::now();
    ClipperLib::Clipper clipper;
    clipper.AddPaths(polygons, ClipperLib::ptSubject, true);
    ClipperLib::Paths out;
    clipper.Execute(ClipperLib::ctUnion, out, ClipperLib::pftNegative, ClipperLib::pftNegative);
    auto t2 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(out.data());
    const double a = std::chrono::duration<double>(t1 - t0).count();
    ours += a;
    theirs += std::chrono::duration<double>(t2 - t1).count();
    resultPoints = jVectGetNum(work);
    state.SetIterationTime(a);
  }
  state.counters["vs_clipper"] = theirs > 0 ? ours / theirs : 0;
  state.counters["clipper_ms"] = 1e3 * theirs / std::max<double>(1, state.iterations());
  state.counters["vertices"] = static_cast<double>(vertices);
  state.counters["result_points"] = resultPoints;
  jVectClose(work);
  jVectClose(input);
}

// 2,000 star polygons of 20 to 200 vertices, spread so that each overlaps a few neighbours.
void CombineRandomPolygons(benchmark::State &state) {
  std::mt19937 rng(2000);
  std::uniform_real_distribution<float> at(0, 900);
  std::uniform_int_distribution<int> vertices(20, 200);
  std::vector<Outline> outlines;
  for (int k = 0; k < 2000; ++k)
    outlines.push_back(weld_shapes::randomStar(rng, at(rng), at(rng), 20, vertices(rng)));
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

}  // namespace
