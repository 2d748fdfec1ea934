#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "outlina/fit.h"
#include "outlina/path.h"

namespace {

constexpr int32_t kSegments = 100000;
constexpr int32_t kSegmentsPerContour = 100;

// Closed wavy rings of cubic segments, like glyph outlines at a large size.
JVect *buildCubicPath() {
  JVect *path = jVectOpen(10000);
  for (int32_t c = 0; c < kSegments / kSegmentsPerContour; ++c) {
    const double cx = (c % 40) * 300.0, cy = (c / 40) * 300.0;
    auto at = [&](double a, double r) {
      return std::pair<float, float>{static_cast<float>(cx + r * std::cos(a)),
                                     static_cast<float>(cy + r * std::sin(a))};
    };
    const double step = 2 * M_PI / kSegmentsPerContour;
    auto [sx, sy] = at(0, 100);
    jVectAddPoint(path, JVECT_LAST, JVM_START, sx, sy);
    for (int32_t k = 0; k < kSegmentsPerContour; ++k) {
      const double a = k * step;
      const double r = k % 2 == 0 ? 120.0 : 90.0;
      auto [x1, y1] = at(a + step / 3, r);
      auto [x2, y2] = at(a + 2 * step / 3, r);
      auto [x3, y3] = k + 1 == kSegmentsPerContour ? std::pair{sx, sy} : at(a + step, 100);
      jVectAddPoint(path, JVECT_LAST, JVM_BEZ_CTRL1, x1, y1);
      jVectAddPoint(path, JVECT_LAST, JVM_BEZ_CTRL2, x2, y2);
      jVectAddPoint(path, JVECT_LAST, JVM_BEZ_END, x3, y3);
    }
  }
  return path;
}

void BM_BezToSvt(benchmark::State &state) {
  JVect *source = buildCubicPath();
  JVect *work = jVectOpen(source->capacity);
  int64_t out = 0;
  for (auto _ : state) {
    state.PauseTiming();
    jVectCopy(work, source);
    state.ResumeTiming();
    benchmark::DoNotOptimize(jVectBezToSvt(work, 2));
    out += jVectGetNum(work);
  }
  state.counters["points_out"] = benchmark::Counter(static_cast<double>(out), benchmark::Counter::kIsRate);
  jVectClose(work);
  jVectClose(source);
}
BENCHMARK(BM_BezToSvt)->Unit(benchmark::kMillisecond);

void BM_SvtToBez(benchmark::State &state) {
  JVect *source = buildCubicPath();
  jVectBezToSvt(source, 2);
  JVect *work = jVectOpen(source->capacity);
  for (auto _ : state) {
    state.PauseTiming();
    jVectCopy(work, source);
    state.ResumeTiming();
    benchmark::DoNotOptimize(jVectSvtToBez(work));
  }
  state.counters["points_in"] = benchmark::Counter(static_cast<double>(jVectGetNum(source)),
                                                   benchmark::Counter::kIsIterationInvariantRate);
  jVectClose(work);
  jVectClose(source);
}
BENCHMARK(BM_SvtToBez)->Unit(benchmark::kMillisecond);

}  // namespace
