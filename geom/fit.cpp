#include <cstdint>
#include <optional>

#include "geom/flatten.h"
#include "geom/pt.h"
#include "outlina/curve.h"
#include "outlina/fit.h"
#include "outlina/geom.h"

namespace outlina {
namespace {

// A tangent-scan score at or below this (squared drawing units summed over the inner points)
// is good enough to skip the grid search.
constexpr double kGoodScore = 2.0;
// The coarse grid scales the best handles by a / 4 for a = 1 .. 8: from a quarter to twice
// their length.
constexpr int kCoarseSteps = 8;
constexpr double kCoarseUnit = 4.0;
// The fine grid works in sixteenths, three steps either side of the coarse winner.
constexpr double kFineUnit = 16.0;
constexpr int kFineReach = 3;
constexpr int kFinePerCoarse = 4;

// Every constructed point is stored as a float, as the points it came from.
Pt toFloat(Pt p) { return {static_cast<float>(p.x), static_cast<float>(p.y)}; }

double dist2(Pt a, Pt b) {
  return jMathLen2(static_cast<float>(a.x), static_cast<float>(a.y), static_cast<float>(b.x),
                   static_cast<float>(b.y));
}

std::optional<Pt> crossLines(Pt a, Pt b, Pt c, Pt d) {
  float out[2];
  if (jMathCross(static_cast<float>(a.x), static_cast<float>(a.y), static_cast<float>(b.x),
                 static_cast<float>(b.y), static_cast<float>(c.x), static_cast<float>(c.y),
                 static_cast<float>(d.x), static_cast<float>(d.y), out) != 1)
    return std::nullopt;
  return Pt{out[0], out[1]};
}

// Control point of the quadratic that starts at e, ends at g and passes at its middle through
// the point on the ray e->f half the distance |eg| away: its direction from e estimates the
// curve's tangent there.
Pt tangentPoint(Pt e, Pt f, Pt g) {
  const double d1 = floatDistance(e, f);
  if (d1 == 0.0) return toFloat(0.5 * (e + g));
  const float k = static_cast<float>((floatDistance(e, g) / d1) * 0.5);
  const Pt q = toFloat(e + static_cast<double>(k) * (f - e));
  return toFloat(0.5 * (4.0 * q - (g + e)));
}

// The search for the control pair: the best pair so far and its score (negative: none yet).
class PairSearch {
 public:
  PairSearch(const float *pts, int32_t n, Pt p0, Pt pe, Pt start)
      : pts_(pts), n_(n), p0_(p0), pe_(pe), c1_(start), c2_(start) {}

  // Sum of squared distances of the inner points from the curve at uniform parameters.
  double score(Pt c1, Pt c2) const {
    double sum = 0.0;
    for (int32_t j = 1; j <= n_ - 2; ++j) {
      const Pt v = toFloat(cubicAt(p0_, c1, c2, pe_, static_cast<double>(j) / (n_ - 1)));
      sum += dist2(loadPt(pts_, j), v);
    }
    return sum;
  }

  // The first of equal scores stays.
  bool offer(Pt c1, Pt c2) {
    const double s = score(c1, c2);
    if (best_ < 0.0 || s < best_) {
      best_ = s;
      c1_ = c1;
      c2_ = c2;
      return true;
    }
    return false;
  }

  double best() const { return best_; }
  Pt c1() const { return c1_; }
  Pt c2() const { return c2_; }

 private:
  const float *pts_;
  int32_t n_;
  Pt p0_, pe_, c1_, c2_;
  double best_ = -1.0;
};

// Grid pairs keep c1 on P0's half and c2 on Pe's half of the chord.
bool onOwnHalves(Pt c1, Pt c2, Pt p0, Pt pe) {
  return dist2(c1, p0) <= dist2(c1, pe) && dist2(c2, pe) <= dist2(c2, p0);
}

void tangentScan(const float *pts, int32_t n, Pt p0, Pt pe, Pt pm, PairSearch &search) {
  const Pt t0 = tangentPoint(p0, loadPt(pts, 1), loadPt(pts, 2));
  const Pt t1 = tangentPoint(pe, loadPt(pts, n - 2), loadPt(pts, n - 3));
  const Pt s = toFloat(t0 - p0), e = toFloat(pe - t1);
  const double den = s.y * e.x - s.x * e.y;
  const double c0 = s.y * p0.x - s.x * p0.y;
  const double ce = e.y * pe.x - e.x * pe.y;
  for (int32_t i = 0; i <= n - 2; ++i) {
    Pt c1, c2;
    if (i == 0) {
      // The tangents meet the parallel to the chord through the middle point.
      const Pt m2 = toFloat(pm + (pe - p0));
      c1 = crossLines(p0, t0, pm, m2).value_or(p0);
      c2 = crossLines(t1, pe, pm, m2).value_or(pe);
    } else {
      // c1 on the start tangent and c2 on the end tangent with point i midway between them,
      // where the segment passes at t = 1/2.
      if (den == 0.0) continue;
      const Pt pi = loadPt(pts, i);
      const double k = 2.0 * (e.x * pi.y - e.y * pi.x);
      c1 = toFloat({(e.x * c0 + s.x * ce + s.x * k) / den, (e.y * c0 + s.y * ce + s.y * k) / den});
      const std::optional<Pt> b = crossLines(t1, pe, pi, c1);
      if (!b) continue;
      c2 = *b;
    }
    // c1 on the tangent side of P0; c2 at T1 or beyond it, away from Pe.
    if (!((c1.x - p0.x) * s.x >= 0.0 && (c1.y - p0.y) * s.y >= 0.0 &&
          (t1.x - c2.x) * e.x >= 0.0 && (t1.y - c2.y) * e.y >= 0.0))
      continue;
    if (dist2(c1, pe) < dist2(c1, p0) && dist2(c2, p0) < dist2(c2, pe)) continue;  // crossed
    search.offer(c1, c2);
  }
}

void gridSearch(Pt p0, Pt pe, PairSearch &search) {
  const Pt d1 = search.c1() - p0, d2 = search.c2() - pe;
  int bestA = 1, bestB = 1;
  for (int a = 1; a <= kCoarseSteps; ++a) {
    for (int b = 1; b <= kCoarseSteps; ++b) {
      const Pt c1 = toFloat(p0 + (a / kCoarseUnit) * d1), c2 = toFloat(pe + (b / kCoarseUnit) * d2);
      if (onOwnHalves(c1, c2, p0, pe) && search.offer(c1, c2)) {
        bestA = a;
        bestB = b;
      }
    }
  }
  for (int a2 = kFinePerCoarse * bestA - kFineReach; a2 <= kFinePerCoarse * bestA + kFineReach;
       ++a2) {
    for (int b2 = kFinePerCoarse * bestB - kFineReach;
         b2 <= kFinePerCoarse * bestB + kFineReach; ++b2) {
      const Pt c1 = toFloat(p0 + (a2 / kFineUnit) * d1), c2 = toFloat(pe + (b2 / kFineUnit) * d2);
      if (onOwnHalves(c1, c2, p0, pe)) search.offer(c1, c2);
    }
  }
}

// A run of three points becomes the quadratic through its middle point.
void fitQuadratic(float *pts) {
  const Pt p0 = loadPt(pts, 0), p1 = loadPt(pts, 1), p2 = loadPt(pts, 2);
  const double d1 = floatDistance(p0, p1), d2 = floatDistance(p0, p2);
  storePt(pts, 1, d1 == 0.0 || d2 == d1 ? toFloat(0.5 * (p0 + p2)) : tangentPoint(p0, p1, p2));
}

// A run on one vertical or horizontal line becomes the straight segment to its last point.
bool fitAxisLine(int32_t *count, float *pts) {
  const int32_t n = *count;
  const Pt p0 = loadPt(pts, 0), pe = loadPt(pts, n - 1);
  bool sameX = true, sameY = true;
  for (int32_t j = 1; j < n; ++j) {
    sameX = sameX && pts[2 * j] == pts[0];
    sameY = sameY && pts[2 * j + 1] == pts[1];
  }
  if (!sameX && !sameY) return false;
  storePt(pts, 1, sameX ? Pt{p0.x, pe.y} : Pt{pe.x, p0.y});
  *count = 2;
  return true;
}

double fitCubic(int32_t *count, float *pts) {
  const int32_t n = *count;
  const Pt p0 = loadPt(pts, 0), pe = loadPt(pts, n - 1), pm = loadPt(pts, n / 2);
  PairSearch search(pts, n, p0, pe, pm);
  tangentScan(pts, n, p0, pe, pm, search);
  if (!(search.best() >= 0.0 && search.best() <= kGoodScore)) gridSearch(p0, pe, search);

  float seg[8];
  storePt(seg, 0, p0);
  storePt(seg, 1, search.c1());
  storePt(seg, 2, search.c2());
  storePt(seg, 3, pe);
  // The error is measured against the run before it is overwritten; dividing by n, not by the
  // n - 1 points measured, is the established scale of the callers' tolerance.
  double sum = 0.0;
  for (int32_t j = 1; j <= n - 1; ++j) sum += jMathBezierDis(seg, pts[2 * j], pts[2 * j + 1]);
  for (int i = 0; i < 8; ++i) pts[i] = seg[i];
  *count = 4;
  return sum / n;
}

}  // namespace
}  // namespace outlina

using namespace outlina;

extern "C" double jMathLineToBezier(int32_t *count, float *pts) {
  if (count == nullptr || pts == nullptr || *count < 3) return 0.0;
  if (*count == 3) {
    fitQuadratic(pts);
    return 0.0;
  }
  if (fitAxisLine(count, pts)) return 0.0;
  return fitCubic(count, pts);
}
