#include "weld/finish.h"

#include <algorithm>
#include <cstdint>

#include "outlina/curve.h"
#include "outlina/fit.h"

namespace outlina {

namespace {

// A contour whose box is smaller than this share of the whole path's box on both axes is a
// crumb left by a fold or by rounding: far out on the sheet a float step is about a ten-thousandth
// of a millimetre, so such crumbs come and go with the position, and nobody can see them (on a
// line of text 400 mm long, 0.02 mm).
constexpr double kCrumbShare = 5e-5;
// A closed contour needs a triangle's three corners and the point that closes it.
constexpr int32_t kFewestEnclosingPoints = 4;

// Removes every contour s..e for which drop(s, e) holds.
template <class Drop>
void dropContours(JVect *path, Drop drop) {
  bool dropped = false;
  for (int32_t s = 0; s < jVectGetNum(path);) {
    const int32_t e = jVectGetEndPos(path, s);
    if (drop(s, e)) {
      for (int32_t i = s; i <= e; ++i) jVectInvalidPoint(path, i);
      dropped = true;
    }
    s = e + 1;
  }
  if (dropped) jVectSweepPoint(path);
}

void dropCrumbs(JVect *path) {
  if (jVectGetNum(path) == 0) return;
  float all[4];
  jVectGetMinMax(all, path, JVECT_ALL);
  const double limit = std::max(double{all[2]} - all[0], double{all[3]} - all[1]) * kCrumbShare;
  dropContours(path, [&](int32_t s, int32_t) {
    float box[4];
    jVectGetMinMax(box, path, s);
    return double{box[2]} - box[0] < limit && double{box[3]} - box[1] < limit;
  });
}

}  // namespace

// Only the fit can fail; tidying a path that was not fitted would pass off its flattened runs
// as the finished outline.
bool weldFinish(JVect *path, bool fitCurves) {
  dropCrumbs(path);
  if (fitCurves && jVectSvtToBez(path) != 1) return false;
  jVectGetLine(path);
  // Merging the points of a sliver along one line can leave it out and back along that line:
  // three points or fewer, enclosing nothing.
  dropContours(path, [](int32_t s, int32_t e) { return e - s < kFewestEnclosingPoints - 1; });
  jVectSetAttri(path);
  return true;
}

}  // namespace outlina
