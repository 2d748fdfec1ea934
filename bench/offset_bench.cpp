// Offset and widening of a large drawing: 10,000 closed contours, each a flattened circle.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "outlina/offset.h"
#include "outlina/path.h"

namespace {

constexpr int32_t kContours = 10000;
constexpr int32_t kPointsPerCircle = 24;

// Circles of radius 4 on a grid, clockwise with y up, as flattened runs (11 ... 12).
JVect *drawing() {
  JVect *path = jVectOpen(kContours * (kPointsPerCircle + 1));
  for (int32_t c = 0; c < kContours; ++c) {
    const double cx = (c % 100) * 10.0, cy = (c / 100) * 10.0;
    for (int32_t i = 0; i <= kPointsPerCircle; ++i) {
      const double a = -6.283185307 * (i % kPointsPerCircle) / kPointsPerCircle;
      const int16_t mode = i == 0 ? JVM_START : i == kPointsPerCircle ? JVM_SVT_END : JVM_SVT;
      jVectAddPoint(path, JVECT_LAST, mode, static_cast<float>(cx + 4 * std::cos(a)),
                    static_cast<float>(cy + 4 * std::sin(a)));
    }
  }
  return path;
}

template <typename Op>
void run(benchmark::State &state, Op op) {
  JVect *source = drawing();
  JVect *work = jVectOpen(1);
  for (auto _ : state) {
    state.PauseTiming();
    jVectCopy(work, source);
    state.ResumeTiming();
    benchmark::DoNotOptimize(op(work));
  }
  state.counters["points/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * jVectGetNum(source), benchmark::Counter::kIsRate);
  jVectClose(work);
  jVectClose(source);
}

void BM_OffsetPathRoundJoins(benchmark::State &state) {
  run(state, [](JVect *p) { return jVectOffsetPath(p, 1.0f, JVC_ROUND, JVJ_ROUND, 4.0f, JVO_BOTH); });
}
BENCHMARK(BM_OffsetPathRoundJoins)->Unit(benchmark::kMillisecond);

void BM_WidenPathMiterJoins(benchmark::State &state) {
  run(state, [](JVect *p) { return jVectWidenPath(p, 1.0f, JVC_FLAT, JVJ_MITER, 4.0f); });
}
BENCHMARK(BM_WidenPathMiterJoins)->Unit(benchmark::kMillisecond);

}  // namespace
