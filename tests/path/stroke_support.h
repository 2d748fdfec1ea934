// Test helpers for the path operations.
#ifndef OUTLINA_TESTS_PATH_STROKE_SUPPORT_H
#define OUTLINA_TESTS_PATH_STROKE_SUPPORT_H

#include <gtest/gtest.h>

#include <vector>

#include "support/path_builder.h"

namespace testing_support {

// makePath for a point list built at run time.
inline PathPtr pathFrom(const std::vector<P> &points, int32_t capacity = 16) {
  PathPtr path(jVectOpen(capacity));
  for (const P &p : points) {
    jVectAddPoint(path.get(), JVECT_LAST, static_cast<int16_t>(p.mode), p.x, p.y);
    jVectGetVd(path.get())[jVectGetNum(path.get()) - 1].tag = p.tag;
  }
  return path;
}

// Shoelace sum per contour (positive counter-clockwise with y up); cubic segments, in the
// three-quarter-handle form, are sampled at 256 steps.
inline std::vector<double> contourAreas(const std::vector<P> &pts) {
  std::vector<double> areas;
  double px = 0, py = 0, c[4] = {};
  auto edge = [&](double x, double y) {
    areas.back() += 0.5 * (px * y - x * py);
    px = x, py = y;
  };
  for (const P &p : pts) {
    if (p.mode == 1) {
      areas.push_back(0.0);
      px = p.x, py = p.y;
    } else if (p.mode == 41 || p.mode == 42) {
      c[2 * (p.mode - 41)] = p.x, c[2 * (p.mode - 41) + 1] = p.y;
    } else if (p.mode == 43) {
      const double x0 = px, y0 = py;
      for (int i = 1; i <= 256; ++i) {
        const double t = i / 256.0, u = 1 - t, w = 1 - 2 * t;
        edge(u * u * w * x0 + 4 * u * t * (u * c[0] + t * c[2]) - t * t * w * p.x,
             u * u * w * y0 + 4 * u * t * (u * c[1] + t * c[3]) - t * t * w * p.y);
      }
    } else if (!areas.empty()) {
      edge(p.x, p.y);
    }
  }
  return areas;
}

}  // namespace testing_support

#endif
