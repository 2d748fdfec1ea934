// Test helpers: build a path from a list of points and read it back as plain values.
#ifndef OUTLINA_TESTS_SUPPORT_PATH_BUILDER_H
#define OUTLINA_TESTS_SUPPORT_PATH_BUILDER_H

#include <cstdint>
#include <memory>
#include <ostream>
#include <vector>

#include "outlina.h"

namespace testing_support {

struct P {
  int mode;
  float x, y;
  uint32_t tag = 0;
  bool operator==(const P &o) const {
    return mode == o.mode && x == o.x && y == o.y && tag == o.tag;
  }
};
using Points = std::vector<P>;

inline std::ostream &operator<<(std::ostream &os, const P &p) {
  return os << "{" << p.mode << ", " << p.x << ", " << p.y << ", tag " << p.tag << "}";
}

struct PathCloser {
  void operator()(JVect *path) const { jVectClose(path); }
};
using PathPtr = std::unique_ptr<JVect, PathCloser>;

// Points are appended with jVectAddPoint(-2); tags are written straight into the records.
inline PathPtr makePath(const Points &points, int32_t capacity = 16) {
  PathPtr path(jVectOpen(capacity));
  for (const P &p : points) {
    jVectAddPoint(path.get(), JVECT_LAST, static_cast<int16_t>(p.mode), p.x, p.y);
    jVectGetVd(path.get())[jVectGetNum(path.get()) - 1].tag = p.tag;
  }
  return path;
}

inline Points pointsOf(const JVect *path) {
  Points out;
  const JVectPoint *v = jVectGetVd(path);
  for (int32_t i = 0; i < jVectGetNum(path); ++i) out.push_back({v[i].mode, v[i].x, v[i].y, v[i].tag});
  return out;
}

// Shoelace sum per contour (positive counter-clockwise with y up); cubic segments, in the
// three-quarter-handle form, are sampled at 256 steps.
inline std::vector<double> contourAreas(const Points &pts) {
  constexpr int kSteps = 256;  // fine enough for 1e-5 relative area on unit-sized curves
  std::vector<double> areas;
  double px = 0, py = 0, c[4] = {};
  auto edge = [&](double x, double y) {
    areas.back() += 0.5 * (px * y - x * py);
    px = x, py = y;
  };
  for (const P &p : pts) {
    if (p.mode == JVM_START) {
      areas.push_back(0.0);
      px = p.x, py = p.y;
    } else if (p.mode == JVM_BEZ_CTRL1 || p.mode == JVM_BEZ_CTRL2) {
      c[2 * (p.mode - 41)] = p.x, c[2 * (p.mode - 41) + 1] = p.y;
    } else if (p.mode == JVM_BEZ_END) {
      const double x0 = px, y0 = py;
      for (int i = 1; i <= kSteps; ++i) {
        const double t = double(i) / kSteps, u = 1 - t, w = 1 - 2 * t;
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
