// Test helper: signed areas of outlines made of lines and cubic segments, measured
// independently of the library's own flattening.
#ifndef OUTLINA_TESTS_PATH_OUTLINE_AREA_H
#define OUTLINA_TESTS_PATH_OUTLINE_AREA_H

#include <vector>

#include "support/path_builder.h"

namespace testing_support {

// Shoelace sum of each contour (positive counter-clockwise with y up); cubic segments, in the
// three-quarter-handle form, are sampled at 256 steps.
inline std::vector<double> contourAreas(const std::vector<P> &pts) {
  std::vector<double> areas;
  double px = 0, py = 0, c1x = 0, c1y = 0, c2x = 0, c2y = 0;
  auto edge = [&](double x, double y) {
    areas.back() += 0.5 * (px * y - x * py);
    px = x;
    py = y;
  };
  for (const P &p : pts) {
    if (p.mode == 1) {
      areas.push_back(0.0);
      px = p.x;
      py = p.y;
    } else if (p.mode == 41) {
      c1x = p.x;
      c1y = p.y;
    } else if (p.mode == 42) {
      c2x = p.x;
      c2y = p.y;
    } else if (p.mode == 43) {
      const double x0 = px, y0 = py;
      for (int i = 1; i <= 256; ++i) {
        const double t = i / 256.0, u = 1 - t, w = 1 - 2 * t;
        edge(u * u * w * x0 + 4 * u * u * t * c1x + 4 * u * t * t * c2x - t * t * w * p.x,
             u * u * w * y0 + 4 * u * u * t * c1y + 4 * u * t * t * c2y - t * t * w * p.y);
      }
    } else if (!areas.empty()) {
      edge(p.x, p.y);
    }
  }
  return areas;
}

}  // namespace testing_support

#endif
