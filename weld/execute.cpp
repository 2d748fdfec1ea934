#include <cstdint>

#include "outlina/weld.h"
#include "weld/finish.h"

extern "C" int32_t jWeldExecute(int32_t mode, JVect *path) {
  if (jWeldCombineVect(path, mode) != 1) return 0;
  outlina::weldFinish(path, true);  // the plain weld always fits curves again
  return 1;
}
