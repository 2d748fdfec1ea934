// Test helper: an independent evaluation of the library's cubic segments.
#ifndef OUTLINA_TESTS_GEOM_BEZIER_SUPPORT_H
#define OUTLINA_TESTS_GEOM_BEZIER_SUPPORT_H

#include "geom/pt.h"

namespace testing_support {

// The standard cubic Bezier whose inner controls lie four thirds along the stored handles.
inline outlina::Pt standardBezier(outlina::Pt p0, outlina::Pt p1, outlina::Pt p2, outlina::Pt p3,
                                  double t) {
  const outlina::Pt b1 = p0 + (4.0 / 3.0) * (p1 - p0), b2 = p3 + (4.0 / 3.0) * (p2 - p3);
  const double u = 1.0 - t;
  return u * u * u * p0 + 3.0 * u * u * t * b1 + 3.0 * u * t * t * b2 + t * t * t * p3;
}

}  // namespace testing_support

#endif
