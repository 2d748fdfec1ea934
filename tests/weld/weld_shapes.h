// Shapes for the combine's tests, fuzzing and benchmarks: closed polygons appended to a path.
#ifndef OUTLINA_TESTS_WELD_WELD_SHAPES_H
#define OUTLINA_TESTS_WELD_WELD_SHAPES_H

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "../support/path_builder.h"  // relative: the benchmarks include this header too
#include "outlina/path.h"

namespace weld_shapes {

struct XY {
  float x, y;
};
using Outline = std::vector<XY>;

// Appends the polygon as a closed contour: start, line points, then the start again.
inline void addOutline(JVect *path, const Outline &outline) {
  for (size_t i = 0; i < outline.size(); ++i)
    jVectAddPoint(path, JVECT_LAST, i == 0 ? JVM_START : JVM_LINE, outline[i].x, outline[i].y);
  jVectAddPoint(path, JVECT_LAST, JVM_LINE, outline[0].x, outline[0].y);
}

// A new path holding the polygons as closed contours.
inline testing_support::PathPtr pathOf(const std::vector<Outline> &outlines) {
  testing_support::PathPtr path(jVectOpen(16));
  for (const Outline &o : outlines) addOutline(path.get(), o);
  return path;
}

// Axis-aligned rectangle; clockwise with y up (direction 1) unless reversed.
inline Outline rectangle(float x0, float y0, float x1, float y1, bool reversed = false) {
  if (reversed) return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
  return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
}

// A star-shaped polygon around (cx, cy), clockwise with y up: random radii between
// (1 - jitter) and 1 times radius at evenly spread angles, so it overlaps itself nowhere.
inline Outline randomStar(std::mt19937 &rng, float cx, float cy, float radius, int vertices,
                          float jitter = 0.7f) {
  std::uniform_real_distribution<float> r((1 - jitter) * radius, radius);
  Outline out;
  for (int k = 0; k < vertices; ++k) {
    const double a = -6.283185307179586 * k / vertices;
    const float rr = r(rng);
    out.push_back(
        {cx + rr * static_cast<float>(std::cos(a)), cy + rr * static_cast<float>(std::sin(a))});
  }
  return out;
}

}  // namespace weld_shapes

#endif
