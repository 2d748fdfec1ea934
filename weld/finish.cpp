#include "weld/finish.h"

#include "outlina/fit.h"

namespace outlina {

// The results are ignored: each call leaves a valid path even when it cannot improve it.
void weldFinish(JVect *path, bool fitCurves) {
  if (fitCurves) jVectSvtToBez(path);
  jVectGetLine(path);
  jVectSetAttri(path);
}

}  // namespace outlina
