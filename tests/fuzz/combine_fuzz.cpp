// Builds a path from the fuzz bytes and combines it under every rule.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "outlina.h"

namespace {

// Enough points for many contours, few enough that each run stays quick.
constexpr size_t kMaxPoints = 3000;
constexpr size_t kBytesPerPoint = 3;
// Mostly line points, some curve points and stray modes, so flattening and the clean-up run.
constexpr int16_t kModes[16] = {1, 2, 2, 2, 2, 3, 11, 12, 13, 41, 42, 43, 31, 32, 21, 22};

float coordinate(uint8_t selector, uint8_t byte) {
  // A half-unit grid makes shared edges, touching vertices and collinear runs common; the
  // selector's top values bring large and non-finite coordinates.
  const float grid = static_cast<int8_t>(byte) * 0.5f;
  if (selector == 0xFF) return byte & 1 ? NAN : INFINITY;
  return selector >= 0xF0 ? grid * 1e30f : grid;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  JVect *input = jVectOpen(16);
  for (size_t i = 0; i + kBytesPerPoint <= size && i / kBytesPerPoint < kMaxPoints;
       i += kBytesPerPoint)
    jVectAddPoint(input, JVECT_LAST, kModes[data[i] & 15], coordinate(data[i], data[i + 1]),
                  coordinate(data[i], data[i + 2]));
  for (int32_t mode = JWM_UNION; mode <= JWM_UNION_ALL; ++mode) {
    JVect *path = jVectDuplicate(input);
    jWeldCombineVect(path, mode);
    jVectClose(path);
  }
  jWeldExecute(JWM_UNION, input);
  jVectClose(input);
  return 0;
}
