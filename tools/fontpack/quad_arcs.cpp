// Quadratic curves as three-point arcs, for ku-ten files that cannot store quadratic points.
#include <algorithm>
#include <cmath>

#include "fontpack.h"

namespace fontpack {
namespace {

constexpr int kMaxDepth = 8;    // halvings of one curve; 256 arcs at most
constexpr int kSamples = 8;     // points of the curve checked against the arc's circle

struct Q {
  double x, y;
};

Q at(const Q &p0, const Q &c, const Q &p2, double t) {
  const double u = 1.0 - t;
  return {u * u * p0.x + 2 * u * t * c.x + t * t * p2.x,
          u * u * p0.y + 2 * u * t * c.y + t * t * p2.y};
}

Point rounded(const Q &q, int16_t mode) {
  return {mode, static_cast<int32_t>(std::lround(q.x)), static_cast<int32_t>(std::lround(q.y))};
}

// Largest distance of the curve's samples from the circle through p0, mid and p2; infinite
// when the three points give no usable circle.
double circleError(const Q &p0, const Q &c, const Q &p2, const Point &mid) {
  float centre[2];
  float radius = 0;
  if (jMathCycOxOy(static_cast<float>(p0.x), static_cast<float>(p0.y), static_cast<float>(mid.x),
                   static_cast<float>(mid.y), static_cast<float>(p2.x), static_cast<float>(p2.y),
                   centre, &radius) < 0) {
    return HUGE_VAL;
  }
  double error = 0;
  for (int k = 1; k < kSamples; ++k) {
    const Q s = at(p0, c, p2, static_cast<double>(k) / kSamples);
    error = std::max(error, std::fabs(std::hypot(s.x - centre[0], s.y - centre[1]) - radius));
  }
  return error;
}

// Appends the curve from p0 (the last point written) over control c to p2.
void approximate(const Q &p0, const Q &c, const Q &p2, double tolerance, int depth,
                 std::vector<Point> *out) {
  // A quadratic strays from its chord by half its control point's distance.
  const double bulge = (p0.x == p2.x && p0.y == p2.y)
                           ? std::hypot(c.x - p0.x, c.y - p0.y)
                           : jMathDis(static_cast<float>(p0.x), static_cast<float>(p0.y),
                                      static_cast<float>(p2.x), static_cast<float>(p2.y),
                                      static_cast<float>(c.x), static_cast<float>(c.y));
  if (bulge * 0.5 <= tolerance) {
    out->push_back(rounded(p2, JVM_LINE));
    return;
  }
  const Point mid = rounded(at(p0, c, p2, 0.5), JVM_ARC_MID);
  if (depth == kMaxDepth || circleError(p0, c, p2, mid) <= tolerance) {
    out->push_back(mid);
    out->push_back(rounded(p2, JVM_ARC_END));
    return;
  }
  const Q m{static_cast<double>(mid.x), static_cast<double>(mid.y)};
  approximate(p0, {(p0.x + c.x) / 2, (p0.y + c.y) / 2}, m, tolerance, depth + 1, out);
  approximate(m, {(c.x + p2.x) / 2, (c.y + p2.y) / 2}, p2, tolerance, depth + 1, out);
}

}  // namespace

std::vector<Point> quadsToArcs(const std::vector<Point> &points, double tolerance) {
  std::vector<Point> out;
  for (size_t i = 0; i < points.size(); ++i) {
    const Point &p = points[i];
    const bool quad = p.mode == JVM_QUAD_CTRL && !out.empty() && i + 1 < points.size() &&
                      points[i + 1].mode == JVM_QUAD_END;
    if (!quad) {
      out.push_back(p);
      continue;
    }
    const Point &start = out.back();
    const Point &end = points[++i];
    approximate({static_cast<double>(start.x), static_cast<double>(start.y)},
                {static_cast<double>(p.x), static_cast<double>(p.y)},
                {static_cast<double>(end.x), static_cast<double>(end.y)}, tolerance, 0, &out);
  }
  return out;
}

}  // namespace fontpack
