// Area of the region of a set of closed polygons where the winding number passes a test,
// by exact slab integration: an independent check of the combine's results.
#ifndef OUTLINA_TESTS_WELD_WINDING_AREA_H
#define OUTLINA_TESTS_WELD_WINDING_AREA_H

#include <algorithm>
#include <functional>
#include <vector>

#include "outlina/path.h"

namespace winding_area {

struct V {
  double x, y;
};
using Polygon = std::vector<V>;  // closed implicitly: the last vertex joins the first

// Clockwise (y up) polygons count +1 inside, counter-clockwise ones -1.
inline double area(const std::vector<Polygon> &polygons, const std::function<bool(int)> &inside) {
  struct E {
    V a, b;
  };
  std::vector<E> edges;
  std::vector<double> ys;
  for (const Polygon &p : polygons)
    for (size_t i = 0; i < p.size(); ++i) {
      edges.push_back({p[i], p[(i + 1) % p.size()]});
      ys.push_back(p[i].y);
    }
  // Between consecutive event heights no two edges cross, so every covered width is linear in
  // y and the midpoint rule is exact.
  for (size_t i = 0; i < edges.size(); ++i)
    for (size_t j = i + 1; j < edges.size(); ++j) {
      const V p = edges[i].a, r = {edges[i].b.x - p.x, edges[i].b.y - p.y};
      const V q = edges[j].a, s = {edges[j].b.x - q.x, edges[j].b.y - q.y};
      const double d = r.x * s.y - r.y * s.x;
      if (d == 0) continue;
      const double t = ((q.x - p.x) * s.y - (q.y - p.y) * s.x) / d;
      const double u = ((q.x - p.x) * r.y - (q.y - p.y) * r.x) / d;
      if (t >= 0 && t <= 1 && u >= 0 && u <= 1) ys.push_back(p.y + t * r.y);
    }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  double total = 0;
  std::vector<std::pair<double, int>> hits;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    const double ym = 0.5 * (ys[k] + ys[k + 1]);
    hits.clear();
    for (const E &e : edges) {
      if ((e.a.y < ym) == (e.b.y < ym)) continue;
      const double x = e.a.x + (ym - e.a.y) * (e.b.x - e.a.x) / (e.b.y - e.a.y);
      hits.push_back({x, e.b.y > e.a.y ? 1 : -1});
    }
    std::sort(hits.begin(), hits.end());
    int w = 0;
    double width = 0;
    for (size_t h = 0; h + 1 < hits.size(); ++h) {
      w += hits[h].second;
      if (inside(w)) width += hits[h + 1].first - hits[h].first;
    }
    total += width * (ys[k + 1] - ys[k]);
  }
  return total;
}

// The contours of a path; a closing repeat of the start point adds an edge of no length.
inline std::vector<Polygon> polygonsOf(const JVect *path) {
  std::vector<Polygon> out;
  const JVectPoint *v = jVectGetVd(path);
  for (int32_t i = 0; i < jVectGetNum(path); ++i) {
    if (v[i].mode == JVM_START) out.emplace_back();
    if (!out.empty()) out.back().push_back({v[i].x, v[i].y});
  }
  return out;
}

}  // namespace winding_area

#endif
