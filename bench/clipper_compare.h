// Shared pieces of the benchmarks that time an operation beside an independent polygon clipper.
#ifndef OUTLINA_BENCH_CLIPPER_COMPARE_H
#define OUTLINA_BENCH_CLIPPER_COMPARE_H

#include <cmath>
#include <cstdint>
#include <ctime>
#include <polyclipping/clipper.hpp>

#include "outlina.h"

namespace clipper_compare {

// Clipper works on integers; this keeps sub-unit detail of glyph-sized coordinates.
constexpr double kClipperScale = 1024.0;

// Processor time of this thread: the machine is shared, so wall time would count others' work.
inline double threadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + 1e-9 * t.tv_nsec;
}

// The contours of a path of straight pieces as Clipper polygons, coordinates times scale.
inline ClipperLib::Paths polygonsOf(const JVect *path, double scale = kClipperScale) {
  ClipperLib::Paths polygons;
  const JVectPoint *v = jVectGetVd(path);
  for (int32_t i = 0; i < jVectGetNum(path); ++i) {
    if (v[i].mode == JVM_START) polygons.emplace_back();
    if (!polygons.empty())
      polygons.back().push_back({std::llround(v[i].x * scale), std::llround(v[i].y * scale)});
  }
  return polygons;
}

}  // namespace clipper_compare

#endif
