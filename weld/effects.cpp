#include "outlina/effects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "geom/constants.h"
#include "outlina/curve.h"
#include "outlina/offset.h"
#include "outlina/weld.h"
#include "weld/finish.h"
#include "weld/slits.h"

namespace outlina {
namespace {

bool isJoin(int32_t joint) { return joint >= JVJ_MITER && joint <= JVJ_BEVEL; }
bool isCap(int32_t cap) { return cap >= JVC_SQUARE && cap <= JVC_FLAT; }

int32_t offsetAxis(const JWeldOffsetParam &record) {
  if (record.horizontal == 1 && record.vertical == 0) return JVO_X;
  if (record.horizontal == 0 && record.vertical == 1) return JVO_Y;
  return JVO_BOTH;
}

// Everything of jWeldOffset after the optional copy was taken; the caller closes the copy.
int32_t offsetWithCopy(const JWeldOffsetParam &record, JVect *path, JVect *copy, Centre where) {
  const float distance = record.side == 1 ? -record.distance : record.distance;
  if (jVectSetLoopDir(path, JVLR_OUTER_NEGATIVE) != 1) return 0;
  if (jVectOffsetPath(path, distance, JVC_SQUARE, record.joint, record.miterLimit,
                      offsetAxis(record)) != 1)
    return 0;
  if (jWeldCombineVect(path, JWM_UNION_ALL) != 1) return 0;
  if (!weldFinish(path, record.curveFit != 0, where)) return 0;
  if (record.keepInput != 0 &&
      (jVectAdd(path, copy) != 1 || jVectSetLoopDir(path, JVLR_OUTER_NEGATIVE) != 1))
    return 0;
  return 1;
}

// Corner (x, y) of a slit, turned by theta about (cx, cy) when the bands are slanted. `whole`
// turns false when a corner could not be appended.
struct SlitFrame {
  double cx = 0, cy = 0, cos = 1, sin = 0;
  bool whole = true;
  void add(JVect *path, int16_t mode, double x, double y) {
    const double rx = cx + (x - cx) * cos - (y - cy) * sin;
    const double ry = cy + (x - cx) * sin + (y - cy) * cos;
    if (jVectAddPoint(path, JVECT_LAST, mode, static_cast<float>(rx), static_cast<float>(ry)) < 0)
      whole = false;
  }
  // One closed slit rectangle, counter-clockwise with y up.
  void rectangle(JVect *path, const double (&corners)[4][2]) {
    add(path, JVM_START, corners[0][0], corners[0][1]);
    for (int i = 1; i < 4; ++i) add(path, JVM_LINE, corners[i][0], corners[i][1]);
    add(path, JVM_LINE, corners[0][0], corners[0][1]);
  }
};

// Slits reach this far past the box so that they cut cleanly through its edges.
constexpr double kSlitOverhang = 10.0;
// No drawing needs more slits: a million of a tenth of a millimetre stripe a banner 100 m
// across. More come from nonsense such as coordinates near 1e30, where appending them would
// fill memory long before the combine could start.
constexpr double kMostSlits = 1e6;

bool tooManySlits(double span, double period) { return span / period > kMostSlits; }

// The corners of a box in a slit frame's unturned coordinates (u across the slits, v along).
class BoxInFrame {
 public:
  BoxInFrame(const SlitFrame &frame, const float box[4]) {
    const double xs[4] = {box[0], box[2], box[2], box[0]};
    const double ys[4] = {box[1], box[1], box[3], box[3]};
    for (int i = 0; i < 4; ++i) {
      const double x = xs[i] - frame.cx, y = ys[i] - frame.cy;
      u_[i] = frame.cx + x * frame.cos + y * frame.sin;
      v_[i] = frame.cy - x * frame.sin + y * frame.cos;
    }
  }
  // The range of v that the box covers between u = u0 and u = u1: over its corners in that band
  // and the points where its sides cross the band's edges. false when it misses the band.
  bool alongBand(double u0, double u1, double &lo, double &hi) const {
    lo = INFINITY;
    hi = -INFINITY;
    auto take = [&](double v) {
      lo = std::min(lo, v);
      hi = std::max(hi, v);
    };
    for (int i = 0; i < 4; ++i) {
      const int j = (i + 1) % 4;
      if (u_[i] >= u0 && u_[i] <= u1) take(v_[i]);
      for (const double edge : {u0, u1})
        if ((u_[i] < edge) != (u_[j] < edge))
          take(v_[i] + (edge - u_[i]) / (u_[j] - u_[i]) * (v_[j] - v_[i]));
    }
    return lo <= hi;
  }

 private:
  double u_[4], v_[4];
};

}  // namespace

int32_t weldMakeSlits(const JWeldStripeParam &record, JVect *path, const float box[4]) {
  const double s = record.stripeWidth, g = record.slitWidth;
  const double minX = box[0], minY = box[1], maxX = box[2], maxY = box[3];
  SlitFrame upright;
  // Slit k lies k periods from the first: a running sum would stop moving once the period falls
  // below the rounding step of coordinates far from the origin.
  const double period = g + s;
  if (record.direction == 0) {
    if (!(minY < maxY)) return 1;
    if (tooManySlits(maxY - minY, period)) return 0;
    const double xl = minX - kSlitOverhang, xr = maxX + kSlitOverhang;
    for (int64_t k = 0; maxY - k * period > minY; ++k) {
      const double y = maxY - k * period;
      upright.rectangle(path, {{xl, y - s}, {xl, y - s - g}, {xr, y - s - g}, {xr, y - s}});
    }
    return upright.whole ? 1 : 0;
  }
  if (record.direction == 1) {
    if (!(maxX > minX)) return 1;
    if (tooManySlits(maxX - minX, period)) return 0;
    const double yb = minY - kSlitOverhang, yt = maxY + kSlitOverhang;
    for (int64_t k = 0; minX + k * period < maxX; ++k) {
      const double x = minX + k * period;
      upright.rectangle(path, {{x + s, yb}, {x + s + g, yb}, {x + s + g, yt}, {x + s, yt}});
    }
    return upright.whole ? 1 : 0;
  }
  const double w = maxX - minX, h = maxY - minY, d = std::sqrt(w * w + h * h);
  // Slits are laid across a square of side d (one unit more on the low side) around the box's
  // centre, so that slits turned to any angle still cover the whole box.
  const float uL = static_cast<float>(minX - (d - w) * 0.5 - 1);
  const float uR = static_cast<float>(uL + d + 1);
  const double theta = (record.stripeAngle - 90.0) / 180.0 * kPi;
  SlitFrame slanted;
  slanted.cx = (minX + maxX) * 0.5;
  slanted.cy = (minY + maxY) * 0.5;
  slanted.cos = std::cos(theta);
  slanted.sin = std::sin(theta);
  if (!(uR > uL)) return 1;
  if (tooManySlits(double{uR} - uL, period)) return 0;
  const BoxInFrame inFrame(slanted, box);
  for (int64_t k = 0; uL + k * period < uR; ++k) {
    const double a = uL + k * period + s;
    // Each slit reaches only as far along itself as the box does, and its overhang beyond:
    // slits across the whole square would make every probe of the combine cross far more of
    // them than lie over the outlines.
    double lo = 0, hi = 0;
    if (!inFrame.alongBand(a, a + g, lo, hi)) continue;
    lo -= kSlitOverhang;
    hi += kSlitOverhang;
    slanted.rectangle(path, {{a, lo}, {a + g, lo}, {a + g, hi}, {a, hi}});
  }
  return slanted.whole ? 1 : 0;
}

}  // namespace outlina

using namespace outlina;

extern "C" {

int32_t jWeldOffset(const JWeldOffsetParam *record, JVect *path) {
  if (record == nullptr || path == nullptr || !isJoin(record->joint)) return 0;
  return runCentred(path, [record](JVect *p, Centre where) {
    JVect *copy = record->keepInput != 0 ? jVectDuplicate(p) : nullptr;
    // Without the copy the input could not be kept: that is a failure, not a smaller result.
    if (record->keepInput != 0 && copy == nullptr) return 0;
    const int32_t result = offsetWithCopy(*record, p, copy, where);
    jVectClose(copy);
    return result;
  });
}

int32_t jWeldWiden(const JWeldWidenParam *record, JVect *path) {
  if (record == nullptr || path == nullptr || !isCap(record->cap) || !isJoin(record->joint))
    return 0;
  return runCentred(path, [record](JVect *p, Centre where) {
    if (jVectSetLoopDir(p, JVLR_OUTER_NEGATIVE) != 1) return 0;
    if (jVectWidenPath(p, record->width, record->cap, record->joint, record->miterLimit) != 1)
      return 0;
    if (jWeldCombineVect(p, JWM_UNION_ALL) != 1) return 0;
    return weldFinish(p, record->curveFit != 0, where) ? 1 : 0;
  });
}

int32_t jWeldStripe(const JWeldStripeParam *record, JVect *path) {
  // A negative width is nonsense (a slit wider than its period would lie over the next ones),
  // and a band plus gap that is not positive would never move the slit cursor forward.
  if (record == nullptr || path == nullptr || !(record->stripeWidth >= 0) ||
      !(record->slitWidth >= 0) || !(record->stripeWidth + record->slitWidth > 0))
    return 0;
  return runCentred(path, [record](JVect *p, Centre where) {
    if (jVectSetLoopDir(p, JVLR_OUTER_NEGATIVE) != 1) return 0;
    // The box of the reoriented path: a reversed curve flattens to slightly different points.
    float box[4];
    jVectGetMinMax(box, p, JVECT_ALL);
    if (weldMakeSlits(*record, p, box) != 1) return 0;
    if (jWeldCombineVect(p, JWM_UNION) != 1) return 0;
    return weldFinish(p, record->curveFit != 0, where) ? 1 : 0;
  });
}

}  // extern "C"
