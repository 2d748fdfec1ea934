#include <cstdint>

#include "outlina/fit.h"
#include "outlina/weld.h"

extern "C" int32_t jWeldExecute(int32_t mode, JVect *path) {
  if (jWeldCombineVect(path, mode) != 1) return 0;
  // The finishing calls tidy what they can; their results do not change the outcome.
  jVectSvtToBez(path);
  jVectGetLine(path);
  jVectSetAttri(path);
  return 1;
}
