#include <benchmark/benchmark.h>

#include <cstdint>

#include "outlina/path.h"

namespace {

constexpr int32_t kPoints = 1000000;

JVect *buildPath(int32_t points) {
  JVect *path = jVectOpen(10000);
  for (int32_t i = 0; i < points; ++i)
    jVectAddPoint(path, JVECT_LAST, i % 100 == 0 ? JVM_START : JVM_LINE, static_cast<float>(i),
                  static_cast<float>(i & 255));
  return path;
}

void BM_AppendPoints(benchmark::State &state) {
  for (auto _ : state) {
    JVect *path = buildPath(kPoints);
    benchmark::DoNotOptimize(jVectGetNum(path));
    jVectClose(path);
  }
  state.counters["points"] = benchmark::Counter(static_cast<double>(kPoints),
                                                benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_AppendPoints)->Unit(benchmark::kMillisecond);

// Appending whole small paths, as glyphs are set one after another into one path.
constexpr int32_t kPiecePoints = 100;

void BM_AppendPaths(benchmark::State &state) {
  JVect *piece = buildPath(kPiecePoints);
  for (auto _ : state) {
    JVect *path = jVectOpen(kPiecePoints);
    for (int32_t i = 0; i < kPoints / kPiecePoints; ++i) jVectAdd(path, piece);
    benchmark::DoNotOptimize(jVectGetNum(path));
    jVectClose(path);
  }
  state.counters["points"] = benchmark::Counter(static_cast<double>(kPoints),
                                                benchmark::Counter::kIsIterationInvariantRate);
  jVectClose(piece);
}
BENCHMARK(BM_AppendPaths)->Unit(benchmark::kMillisecond);

// Every eighth point is marked for removal, as a clean-up leaves them.
void BM_SweepPoints(benchmark::State &state) {
  JVect *source = buildPath(kPoints);
  for (int32_t i = 3; i < kPoints; i += 8) jVectInvalidPoint(source, i);
  JVect *work = jVectOpen(source->capacity);
  for (auto _ : state) {
    state.PauseTiming();
    jVectCopy(work, source);
    state.ResumeTiming();
    benchmark::DoNotOptimize(jVectSweepPoint(work));
  }
  state.counters["points"] = benchmark::Counter(static_cast<double>(kPoints),
                                                benchmark::Counter::kIsIterationInvariantRate);
  jVectClose(work);
  jVectClose(source);
}
BENCHMARK(BM_SweepPoints)->Unit(benchmark::kMillisecond);

}  // namespace
