#include <cstdint>

#include "outlina/weld.h"
#include "weld/finish.h"

extern "C" int32_t jWeldExecute(int32_t mode, JVect *path) {
  return outlina::runCentred(path, [mode](JVect *p, outlina::Centre where) {
    if (jWeldCombineVect(p, mode) != 1) return 0;
    return outlina::weldFinish(p, true, where) ? 1 : 0;  // the plain weld always fits curves again
  });
}
