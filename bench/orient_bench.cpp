#include <benchmark/benchmark.h>

#include <cstdint>

#include "outlina.h"

namespace {

constexpr int32_t kSide = 100;  // a 100 x 100 grid: 10,000 contours

// Small closed contours on a grid, alternately squares and round cubic blobs, every fourth one
// clockwise, so that the rule has contours to reverse.
JVect *gridOfContours() {
  JVect *path = jVectOpen(kSide * kSide * 7);
  for (int32_t row = 0; row < kSide; ++row)
    for (int32_t col = 0; col < kSide; ++col) {
      const float x = col * 10.0f, y = row * 10.0f;
      const int32_t first = jVectGetNum(path);
      if ((row + col) % 2 == 0) {
        jVectAddPoint(path, JVECT_LAST, JVM_START, x, y);
        jVectAddPoint(path, JVECT_LAST, JVM_LINE, x + 6, y);
        jVectAddPoint(path, JVECT_LAST, JVM_LINE, x + 6, y + 6);
        jVectAddPoint(path, JVECT_LAST, JVM_LINE, x, y + 6);
        jVectAddPoint(path, JVECT_LAST, JVM_LINE, x, y);
      } else {
        jVectAddPoint(path, JVECT_LAST, JVM_START, x + 6, y + 3);
        jVectAddPoint(path, JVECT_LAST, JVM_BEZ_CTRL1, x + 6, y + 6);
        jVectAddPoint(path, JVECT_LAST, JVM_BEZ_CTRL2, x, y + 6);
        jVectAddPoint(path, JVECT_LAST, JVM_BEZ_END, x, y + 3);
        jVectAddPoint(path, JVECT_LAST, JVM_BEZ_CTRL1, x, y);
        jVectAddPoint(path, JVECT_LAST, JVM_BEZ_CTRL2, x + 6, y);
        jVectAddPoint(path, JVECT_LAST, JVM_BEZ_END, x + 6, y + 3);
      }
      if ((row * kSide + col) % 4 == 0) jVectReverse(path, first);
    }
  return path;
}

void BM_SetLoopDirTenThousandContours(benchmark::State &state) {
  JVect *path = gridOfContours();
  int32_t rule = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(jVectSetLoopDir(path, rule));
    rule = 3 - rule;  // alternate so that every run has work to do
  }
  jVectClose(path);
}
BENCHMARK(BM_SetLoopDirTenThousandContours)->Unit(benchmark::kMillisecond);

// The degenerate case of many one-point contours all at one spot, which once met each other.
constexpr int32_t kStackedPoints = 100000;

void BM_SetLoopDirStackedOnePointContours(benchmark::State &state) {
  JVect *path = jVectOpen(kStackedPoints);
  for (int32_t i = 0; i < kStackedPoints; ++i) jVectAddPoint(path, JVECT_LAST, JVM_START, 5, 7);
  for (auto _ : state) benchmark::DoNotOptimize(jVectSetLoopDir(path, 1));
  jVectClose(path);
}
BENCHMARK(BM_SetLoopDirStackedOnePointContours)->Unit(benchmark::kMillisecond);

}  // namespace
