#include "weld/finish.h"

#include <algorithm>
#include <cstdint>

#include "outlina/curve.h"
#include "outlina/fit.h"

namespace outlina {

namespace {

// A contour whose box is smaller than this share of the whole path's box on both axes is a
// speck left by a fold or by rounding: far out on the sheet a float step is about a ten-thousandth
// of a millimetre, so such specks come and go with the position, and nobody can see them.
constexpr double kSpeckShare = 1e-5;

void dropSpecks(JVect *path) {
  const int32_t count = jVectGetNum(path);
  if (count == 0) return;
  float all[4];
  jVectGetMinMax(all, path, JVECT_ALL);
  const double limit = std::max(double{all[2]} - all[0], double{all[3]} - all[1]) * kSpeckShare;
  bool dropped = false;
  for (int32_t s = 0; s < count;) {
    const int32_t e = jVectGetEndPos(path, s);
    float box[4];
    jVectGetMinMax(box, path, s);
    if (double{box[2]} - box[0] < limit && double{box[3]} - box[1] < limit) {
      for (int32_t i = s; i <= e; ++i) jVectInvalidPoint(path, i);
      dropped = true;
    }
    s = e + 1;
  }
  if (dropped) jVectSweepPoint(path);
}

}  // namespace

// Only the fit can fail; tidying a path that was not fitted would pass off its flattened runs
// as the finished outline.
bool weldFinish(JVect *path, bool fitCurves) {
  dropSpecks(path);
  if (fitCurves && jVectSvtToBez(path) != 1) return false;
  jVectGetLine(path);
  jVectSetAttri(path);
  return true;
}

}  // namespace outlina
