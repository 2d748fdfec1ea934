/* Built as C: the public header must compile without C++, and a C host must link and call
   through the shared library. */
#include <stdio.h>

#include "outlina.h"

int main(void) {
  JVect *path = jVectOpen(4);
  if (path == NULL) return 1;
  int ok = jVectAddPoint(path, JVECT_LAST, JVM_START, 1.0f, 2.0f) == 1 &&
           jVectGetNum(path) == 1 && sizeof(JVectPoint) == 14;
  jVectClose(path);
  if (!ok) {
    fprintf(stderr, "C host saw a wrong path\n");
    return 1;
  }
  return 0;
}
