#include <cstdint>

#include "outlina/curve.h"
#include "outlina/offset.h"
#include "outlina/path.h"
#include "path/stroke_codes.h"

namespace outlina {
namespace {

// A closed path becomes, per contour, its outer offset and its reversed inner offset.
int32_t widenClosed(JVect *path, float half, int32_t cap, int32_t join, float limit) {
  JVect *inner = jVectDuplicate(path);
  if (inner == nullptr) return 0;
  int32_t result = jVectOffsetPath(path, half, cap, join, limit, JVO_BOTH);
  if (result == 1) {
    result = jVectOffsetPath(inner, -half, cap, join, limit, JVO_BOTH);
    if (result == 1) {
      jVectReverse(inner, JVECT_ALL);
      if (jVectAdd(path, inner) != 1) result = 0;
    }
  }
  jVectClose(inner);
  return result;
}

// An open path becomes forward-and-back loops, whose turning points get the caps.
int32_t widenOpen(JVect *path, float half, int32_t cap, int32_t join, float limit) {
  if (jVectGetNum(path) >= 2 && jVectMakeReverseLoop(path) != 1) return 0;
  return jVectOffsetPath(path, half, cap, join, limit, JVO_BOTH);
}

}  // namespace
}  // namespace outlina

extern "C" int32_t jVectWidenPath(JVect *path, float width, int32_t cap, int32_t join,
                                  float limit) {
  if (path == nullptr || !outlina::strokeCodesKnown(cap, join)) return 0;
  // Each side lies half the width from the line; the half is taken in double, stored as float.
  const auto half = static_cast<float>(double{width} * 0.5);
  return jVectCheckLoop(path) == 1 ? outlina::widenClosed(path, half, cap, join, limit)
                                   : outlina::widenOpen(path, half, cap, join, limit);
}
