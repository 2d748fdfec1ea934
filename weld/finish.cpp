#include "weld/finish.h"

#include "outlina/fit.h"

namespace outlina {

// Only the fit can fail; tidying a path that was not fitted would pass off its flattened runs
// as the finished outline.
bool weldFinish(JVect *path, bool fitCurves) {
  if (fitCurves && jVectSvtToBez(path) != 1) return false;
  jVectGetLine(path);
  jVectSetAttri(path);
  return true;
}

}  // namespace outlina
