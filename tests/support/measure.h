// Test helpers: a path flattened finely and measured, the independent yardstick of the effects.
#ifndef OUTLINA_TESTS_SUPPORT_MEASURE_H
#define OUTLINA_TESTS_SUPPORT_MEASURE_H

#include <cmath>

#include "support/path_builder.h"

namespace testing_support {

struct Measure {
  double area = 0;        // signed shoelace sum of the closed contours (y up: clockwise < 0)
  double openLength = 0;  // length of the open contours
  double length = 0;      // length of every contour
  int contours = 0;
  float box[4] = {};
};

// Flattens a copy and measures it.
inline Measure measure(const JVect *path) {
  Measure s;
  jVectGetMinMax(s.box, path, JVECT_ALL);
  PathPtr flat(jVectDuplicate(path));
  jVectBezToSvt(flat.get(), 2);
  const JVectPoint *v = jVectGetVd(flat.get());
  const int32_t n = jVectGetNum(flat.get());
  for (int32_t start = 0; start < n;) {
    int32_t end = start + 1;
    while (end < n && v[end].mode != JVM_START) ++end;
    const bool closed =
        end - start >= 3 && v[end - 1].x == v[start].x && v[end - 1].y == v[start].y;
    for (int32_t i = start + 1; i < end; ++i) {
      const double x0 = v[i - 1].x, y0 = v[i - 1].y, x1 = v[i].x, y1 = v[i].y;
      const double step = std::hypot(x1 - x0, y1 - y0);
      s.length += step;
      (closed ? s.area : s.openLength) += closed ? 0.5 * (x0 * y1 - x1 * y0) : step;
    }
    ++s.contours;
    start = end;
  }
  return s;
}

}  // namespace testing_support

#endif
