// Area of the region of a set of closed polygons where the winding number passes a test,
// by exact slab integration: an independent check of the combine's results.
#ifndef OUTLINA_TESTS_WELD_WINDING_AREA_H
#define OUTLINA_TESTS_WELD_WINDING_AREA_H

#include <functional>
#include <vector>

#include "outlina/path.h"

namespace winding_area {

struct V {
  double x, y;
};
using Polygon = std::vector<V>;  // closed implicitly: the last vertex joins the first

// Clockwise (y up) polygons count +1 inside, counter-clockwise ones -1.
double area(const std::vector<Polygon> &polygons, const std::function<bool(int)> &inside);
// The contours of a path, each without its closing repeat of the start point.
std::vector<Polygon> polygonsOf(const JVect *path);

}  // namespace winding_area

#endif
