#include <cmath>
#include <cstdint>

#include "geom/constants.h"
#include "geom/pt.h"
#include "outlina/geom.h"

namespace outlina {
namespace {

// Circles outside this radius range (drawing units) are too small to draw as arcs or so flat
// that they are better treated as straight lines.
constexpr double kMinRadius = 0.1;
constexpr double kMaxRadius = 100000.0;

struct FloatPt {
  float x, y;
};

// Crossing of the infinite lines P1P2 and P3P4, stored as floats and then snapped onto any
// axis-parallel line so that crossings with horizontal or vertical edges carry no rounding error.
bool lineCross(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
               FloatPt &out) {
  const double dx1 = double{x2} - x1, dy1 = double{y2} - y1;
  const double dx2 = double{x4} - x3, dy2 = double{y4} - y3;
  const double f3 = dx2 * dy1;
  const double f1 = dy2 * dx1;
  const double d = f3 - f1;
  if (d == 0.0) return false;
  out.x = static_cast<float>((x1 * f3 + (double{y3} - y1) * dx2 * dx1 - x3 * f1) / d);
  out.y = static_cast<float>(-((double{x3} - x1) * dy2 * dy1 + y1 * f1 - y3 * f3) / d);
  if (x2 == x1)
    out.x = x1;
  else if (x4 == x3)
    out.x = x3;
  if (y2 == y1)
    out.y = y1;
  else if (y4 == y3)
    out.y = y3;
  return true;
}

// True when c lies outside the closed range between a and b; a degenerate range is not tested.
bool outsideRange(double c, float a, float b) {
  if (a == b) return false;
  return (c - b) * (c - a) > 0.0;
}

// Turning sense of P1 -> P2 -> P3 judged against the chord P1P3: 1 clockwise with y up,
// 0 counter-clockwise, -1 when P2 lies on the chord's line.
int32_t turningSense(float x1, float y1, float x2, float y2, float x3, float y3) {
  if (x1 == x3) {
    if (x2 == x1) return -1;
    if (y3 < y1) return x2 > x1 ? 1 : 0;
    return x2 > x1 ? 0 : 1;
  }
  const double t = y1 + (double{y1} - y3) * (double{x2} - x1) / (double{x1} - x3);
  if (y2 == t) return -1;
  if (x3 < x1) return y2 < t ? 1 : 0;
  return y2 < t ? 0 : 1;
}

}  // namespace
}  // namespace outlina

using namespace outlina;

extern "C" {

int32_t jMathCross(float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                   float y4, float *out) {
  FloatPt p;
  if (!lineCross(x1, y1, x2, y2, x3, y3, x4, y4, p)) return 0;
  if (out != nullptr) {
    out[0] = p.x;
    out[1] = p.y;
  }
  return 1;
}

int32_t jMathRealCrossPoint(float x1, float y1, float x2, float y2, float x3, float y3,
                            float x4, float y4, float *out) {
  FloatPt p;
  if (!lineCross(x1, y1, x2, y2, x3, y3, x4, y4, p)) return 0;
  if (out != nullptr) {
    out[0] = p.x;
    out[1] = p.y;
  }
  // The test uses the stored float point, so an endpoint hit exactly counts as meeting.
  if (outsideRange(p.x, x1, x2) || outsideRange(p.x, x3, x4) || outsideRange(p.y, y1, y2) ||
      outsideRange(p.y, y3, y4))
    return 0;
  return 1;
}

double jMathAtan(double dy, double dx) {
  if (dx == 0.0) {
    if (dy == 0.0) return 0.0;
    return dy > 0.0 ? kHalfPi : -kHalfPi;
  }
  return std::atan2(dy, dx);
}

double jMathCos(float xa, float ya, float xo, float yo, float xb, float yb) {
  const Pt u{double{xa} - xo, double{ya} - yo};
  const Pt v{double{xb} - xo, double{yb} - yo};
  const double lu = std::sqrt(dot(u, u));
  const double lv = std::sqrt(dot(v, v));
  if (lu == 0.0 || lv == 0.0) return 0.0;
  return (dot(u, v) / lu) / lv;
}

double jMathLR(float px, float py, float ax, float ay, float bx, float by) {
  return (double{px} - ax) * (double{by} - ay) - (double{py} - ay) * (double{bx} - ax);
}

double jMathLen(float x1, float y1, float x2, float y2) {
  return std::sqrt(jMathLen2(x1, y1, x2, y2));
}

double jMathLen2(float x1, float y1, float x2, float y2) {
  const double dy = double{y1} - y2, dx = double{x1} - x2;
  return dy * dy + dx * dx;
}

double jMathDis(float x1, float y1, float x2, float y2, float px, float py) {
  const double run = double{x2} - x1;
  if (run == 0.0) return std::fabs(double{px} - x1);
  const double m = (double{y2} - y1) / run;
  const double e = m * (double{px} - x1) - (double{py} - y1);
  return std::sqrt(e * e / (m * m + 1.0));
}

int32_t jMathCycOxOy(float x1, float y1, float x2, float y2, float x3, float y3, float *centre,
                     float *radius) {
  if (centre != nullptr) centre[0] = centre[1] = 0.0f;
  if (radius != nullptr) *radius = 0.0f;
  const double s1 = double{x1} * x1 + double{y1} * y1;
  const double s2 = double{x2} * x2 + double{y2} * y2;
  const double s3 = double{x3} * x3 + double{y3} * y3;
  const double d = (double{x3} * y2 - double{y3} * x2) + (double{x2} * y1 - double{y2} * x1) +
                   (double{y3} * x1 - double{x3} * y1);
  if (d == 0.0) return -1;
  const double cx =
      -((double{y2} - y3) * s1 / 2 + (double{y3} - y1) * s2 / 2 + (double{y1} - y2) * s3 / 2) / d;
  const double cy =
      -((double{x3} - x2) * s1 / 2 + (double{x1} - x3) * s2 / 2 + (double{x2} - x1) * s3 / 2) / d;
  const Pt toStart{x1 - cx, y1 - cy};
  const double r = std::sqrt(dot(toStart, toStart));
  // Written as a range test so that a NaN radius is refused as well.
  if (!(r >= kMinRadius && r <= kMaxRadius)) return -1;
  const int32_t sense = turningSense(x1, y1, x2, y2, x3, y3);
  if (sense < 0) return -1;
  if (centre != nullptr) {
    centre[0] = static_cast<float>(cx);
    centre[1] = static_cast<float>(cy);
  }
  if (radius != nullptr) *radius = static_cast<float>(r);
  return sense;
}

}  // extern "C"
