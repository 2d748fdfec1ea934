// The envelope effect on 100 rectangles of straight edges: flatten, bend, refit and tidy.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "outlina/params.h"
#include "outlina/path.h"

namespace {

constexpr int32_t kRects = 100;

JVect *buildRects() {
  JVect *path = jVectOpen(10000);
  for (int32_t i = 0; i < kRects; ++i) {
    const float x = (i % 10) * 30.0f, y = (i / 10) * 20.0f;
    jVectAddPoint(path, JVECT_LAST, JVM_START, x, y);
    jVectAddPoint(path, JVECT_LAST, JVM_LINE, x, y + 15.0f);
    jVectAddPoint(path, JVECT_LAST, JVM_LINE, x + 25.0f, y + 15.0f);
    jVectAddPoint(path, JVECT_LAST, JVM_LINE, x + 25.0f, y);
    jVectAddPoint(path, JVECT_LAST, JVM_LINE, x, y);
  }
  return path;
}

void BM_ShapeEffectWave(benchmark::State &state) {
  const JVectransShapeParam param{9, 60, 0.0f, 0.0f, 295.0f, 195.0f};
  for (auto _ : state) {
    state.PauseTiming();
    JVect *path = buildRects();
    state.ResumeTiming();
    benchmark::DoNotOptimize(jVectransShapeEffect(&param, path));
    state.PauseTiming();
    jVectClose(path);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRects);
}
BENCHMARK(BM_ShapeEffectWave)->Unit(benchmark::kMillisecond);

}  // namespace
