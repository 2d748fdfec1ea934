#include <cmath>
#include <cstdint>

#include "geom/constants.h"
#include "geom/flatten.h"
#include "geom/pt.h"
#include "outlina/curve.h"
#include "outlina/geom.h"

namespace outlina {
namespace {

constexpr double kDegrees = 180.0;
// Below this step an arc's 360 / step + 2 points would not fit the count that is returned.
constexpr double kFinestStep = 360.0 / (INT32_MAX - 2);
// A third of one turn (of the library's two pi): the longest arc one cubic segment covers.
constexpr double kCubicArcSpan = 2.0943951023333334;
// Control points of an arc piece sit one and three quarters of the way along its angle.
constexpr double kQuarter = 0.25;
constexpr double kThreeQuarters = 3.0;
constexpr double kWhole = 4.0;
// jMathBezierDis samples the curve at t = 0, 1/36, ..., 1.
constexpr int32_t kDistanceSamples = 36;

// The circle of an arc and the angles of its ends about the centre.
struct ArcFrame {
  int32_t sense;  // 1: angle decreases from start to end; 0: increases; -1: no circle
  Pt centre;
  double radius;
  double startAngle, endAngle;
};

ArcFrame arcFrame(Pt a, Pt m, Pt e) {
  float centre[2];
  float radius;
  ArcFrame f{};
  f.sense = jMathCycOxOy(static_cast<float>(a.x), static_cast<float>(a.y),
                         static_cast<float>(m.x), static_cast<float>(m.y),
                         static_cast<float>(e.x), static_cast<float>(e.y), centre, &radius);
  f.centre = {centre[0], centre[1]};
  f.radius = radius;
  f.startAngle = jMathAtan(a.y - f.centre.y, a.x - f.centre.x);
  f.endAngle = jMathAtan(e.y - f.centre.y, e.x - f.centre.x);
  return f;
}

// Unwraps the end angles so that the walk from start to end goes the arc's way round.
void unwrap(ArcFrame &f) {
  if (f.sense == 1 && f.startAngle < f.endAngle) f.startAngle += kTwoPi;
  if (f.sense == 0 && f.startAngle > f.endAngle) f.endAngle += kTwoPi;
}

Pt onCircle(const ArcFrame &f, double angle, double distance) {
  return {std::cos(angle) * distance + f.centre.x, std::sin(angle) * distance + f.centre.y};
}

// Writes p at *next unless it repeats prev exactly (compared before rounding to float).
void emitDistinct(float *pts, int32_t &next, Pt &prev, Pt p) {
  if (p.x == prev.x && p.y == prev.y) return;
  storePt(pts, next++, p);
  prev = p;
}

// Appends the stored end point, bits unchanged, unless the last computed point equals it.
int32_t appendEnd(float *pts, int32_t next, Pt last, float ex, float ey) {
  if (ex == last.x && ey == last.y) return next;
  pts[2 * next] = ex;
  pts[2 * next + 1] = ey;
  return next + 1;
}

}  // namespace
}  // namespace outlina

using namespace outlina;

extern "C" {

int32_t jMathArcToLine(float *pts, float step) {
  if (pts == nullptr) return 0;
  // A step that is not positive never reaches the end of the arc, and one finer than
  // kFinestStep yields more points than the result can count.
  if (!(step >= kFinestStep)) return 3;
  const Pt a = loadPt(pts, 0);
  const float ex = pts[4], ey = pts[5];
  ArcFrame f = arcFrame(a, loadPt(pts, 1), {ex, ey});
  if (f.sense == -1) return 3;
  const double s = step * kPi / kDegrees;
  // The raw angles are compared, not the sweep: an almost full circle whose ends lie within one
  // step of each other is left alone as well.
  if (std::fabs(f.startAngle - f.endAngle) <= s) return 3;
  unwrap(f);
  int32_t next = 1;
  Pt prev = a;
  if (f.sense == 1) {
    for (int32_t k = 1;; ++k) {
      const double angle = f.startAngle - k * s;
      if (!(angle > f.endAngle)) break;
      emitDistinct(pts, next, prev, onCircle(f, angle, f.radius));
    }
  } else {
    for (int32_t k = 1;; ++k) {
      const double angle = f.startAngle + k * s;
      if (!(angle < f.endAngle)) break;
      emitDistinct(pts, next, prev, onCircle(f, angle, f.radius));
    }
  }
  return appendEnd(pts, next, prev, ex, ey);
}

int32_t jMathBezToLine(float *pts, int32_t n) {
  if (pts == nullptr) return 0;
  const Pt p0 = loadPt(pts, 0), p1 = loadPt(pts, 1), p2 = loadPt(pts, 2);
  const float ex = pts[6], ey = pts[7];
  int32_t next = 1;
  Pt prev = p0;
  for (int32_t i = 1; i < n; ++i) {
    const double t = static_cast<double>(i) / n;
    emitDistinct(pts, next, prev, cubicAt(p0, p1, p2, {ex, ey}, t));
  }
  return appendEnd(pts, next, prev, ex, ey);
}

int32_t jMathArcToBez(float *pts) {
  if (pts == nullptr) return 0;
  const float ex = pts[4], ey = pts[5];
  ArcFrame f = arcFrame(loadPt(pts, 0), loadPt(pts, 1), {ex, ey});
  if (f.sense == -1) return 3;
  unwrap(f);
  const double sweep =
      f.sense == 1 ? f.startAngle - f.endAngle : f.endAngle - f.startAngle;
  // One segment below a third of a turn, two from there, three from two thirds; a sweep that
  // reaches the full turn through rounding takes a fourth. Anything else (a non-finite circle)
  // is left alone.
  const double pieces = 1.0 - std::trunc(sweep / -kCubicArcSpan);
  if (!(pieces >= 1.0 && pieces <= 4.0)) return 3;
  const int32_t count = static_cast<int32_t>(pieces);
  const double q = (sweep / count) * kQuarter;
  const double handle = f.radius / std::cos(q);
  const double d = f.sense == 1 ? -1.0 : 1.0;
  for (int32_t k = 0; k < count; ++k) {
    const double b = f.startAngle + d * kWhole * q * k;
    storePt(pts, 1 + 3 * k, onCircle(f, b + d * q, handle));
    storePt(pts, 2 + 3 * k, onCircle(f, b + d * kThreeQuarters * q, handle));
    storePt(pts, 3 + 3 * k, onCircle(f, b + d * kWhole * q, f.radius));
  }
  pts[6 * count] = ex;
  pts[6 * count + 1] = ey;
  return 1 + 3 * count;
}

double jMathBezierDis(const float *seg, float px, float py) {
  if (seg == nullptr) return -1.0;
  const Pt p0 = loadPt(seg, 0), p1 = loadPt(seg, 1), p2 = loadPt(seg, 2), p3 = loadPt(seg, 3);
  double best = 0.0;
  for (int32_t i = 0; i <= kDistanceSamples; ++i) {
    const Pt v = cubicAt(p0, p1, p2, p3, static_cast<double>(i) / kDistanceSamples);
    const double dist =
        jMathLen(static_cast<float>(v.x), static_cast<float>(v.y), px, py);
    if (i == 0 || dist < best) best = dist;
  }
  return best;
}

}  // extern "C"
