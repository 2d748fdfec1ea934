// Running an operation on the path moved so that the centre of its box lies at the origin.
// Floats are finest near zero: an outline far out on the sheet would otherwise be flattened,
// offset, cut, combined and fitted on a grid up to a hundred times coarser than the same outline
// near the origin, and tiny folds and crossings would come out differently. Moving by the box
// centre is exact for the points of an outline that lies far from the origin.
#ifndef OUTLINA_PATH_CENTRED_H
#define OUTLINA_PATH_CENTRED_H

#include <cmath>
#include <cstdint>

#include "outlina/curve.h"
#include "outlina/path.h"

namespace outlina {

// Moves every point of the path by (dx, dy), control points included.
inline void shiftPath(JVect *path, float dx, float dy) {
  JVectPoint *v = jVectGetVd(path);
  for (int32_t i = 0; i < jVectGetNum(path); ++i) {
    v[i].x += dx;
    v[i].y += dy;
  }
}

// The centre of the path's box; (0, 0) for an empty path or a box that is not finite.
struct Centre {
  float x = 0, y = 0;
  bool moves() const { return x != 0 || y != 0; }
};

inline Centre boxCentre(const JVect *path) {
  if (path == nullptr || jVectGetNum(path) == 0) return {};
  float box[4];
  jVectGetMinMax(box, path, JVECT_ALL);
  const Centre c{static_cast<float>((double{box[0]} + box[2]) * 0.5),
                 static_cast<float>((double{box[1]} + box[3]) * 0.5)};
  return std::isfinite(c.x) && std::isfinite(c.y) ? c : Centre{};
}

// Runs operation(path, centre) on the path moved by minus its box centre, then moves whatever
// the operation left back. The operation moves any coordinates of its own by the centre too.
template <class Operation>
int32_t runCentred(JVect *path, Operation operation) {
  const Centre c = boxCentre(path);
  if (c.moves()) shiftPath(path, -c.x, -c.y);
  const int32_t result = operation(path, c);
  if (c.moves()) shiftPath(path, c.x, c.y);
  return result;
}

}  // namespace outlina

#endif
