// The library's cubic segment form, shared by every part that evaluates, flattens or fits one.
#ifndef OUTLINA_GEOM_FLATTEN_H
#define OUTLINA_GEOM_FLATTEN_H

#include "geom/pt.h"

namespace outlina {

// V(t) of the cubic segment p0..p3 whose stored controls lie at three quarters of the standard
// handles: V(0) = p0, V(1/2) = (p1 + p2) / 2, V(1) = p3. Evaluated in double, unrounded.
inline Pt cubicAt(Pt p0, Pt p1, Pt p2, Pt p3, double t) {
  const double u = 1.0 - t;
  const double w = 1.0 - 2.0 * t;
  const double b0 = u * u * w;
  const double b1 = 4.0 * u * u * t;
  const double b2 = 4.0 * u * t * t;
  const double b3 = -t * t * w;
  return {b0 * p0.x + b1 * p1.x + b2 * p2.x + b3 * p3.x,
          b0 * p0.y + b1 * p1.y + b2 * p2.y + b3 * p3.y};
}

}  // namespace outlina

#endif
