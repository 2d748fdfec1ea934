// Shared input layout of the effect fuzz targets: the effect (one byte), the curve resolution
// (two bytes), a parameter block, then points of three bytes: mode and value class, x, y.
#ifndef OUTLINA_TESTS_FUZZ_EFFECT_INPUT_H
#define OUTLINA_TESTS_FUZZ_EFFECT_INPUT_H

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "outlina.h"

namespace fuzzing {

constexpr size_t kParamBytes = 16;
constexpr size_t kHeaderBytes = 3 + kParamBytes;
constexpr size_t kBytesPerPoint = 3;
// Enough for several contours and long flattened runs, few enough that each run stays quick.
constexpr size_t kMaxPoints = 256;
// Curve divisions set from the input run up to the library's default: finer curves only
// multiply the segments that the combine meets, which makes single inputs slow.
constexpr uint8_t kMostDivisions = 32;
// Every mode, the removal mark included; the low four bits of a point's first byte pick one.
constexpr int16_t kModes[16] = {0, 1, 2, 3, 11, 12, 13, 21, 22, 31, 32, 33, 41, 42, 43, 44};

// Values on a half-unit grid, so that shared edges and collinear runs are common; the top
// classes bring thirds (no exact float), tiny and huge values, NaN and the infinities.
inline float value(uint8_t valueClass, uint8_t byte) {
  const float grid = static_cast<int8_t>(byte) * 0.5f;
  switch (valueClass) {
    case 0xF:
      return byte & 1 ? NAN : byte & 2 ? -INFINITY : INFINITY;
    case 0xE:
      return grid * 1e30f;
    case 0xD:
      return grid * 1e-30f;
    case 0xC:
      return grid / 3.0f;
    default:
      return grid;
  }
}

// Reads the parameter block in order; small integers are signed bytes, numbers two bytes.
class Params {
 public:
  explicit Params(const uint8_t *bytes) : bytes_(bytes) {}
  int32_t integer() { return static_cast<int8_t>(next()); }
  float number() {
    const uint8_t valueClass = next() >> 4;
    return value(valueClass, next());
  }

 private:
  uint8_t next() { return at_ < kParamBytes ? bytes_[at_++] : 0; }
  const uint8_t *bytes_;
  size_t at_ = 0;
};

// Builds the input's path and runs effect(first byte, parameters, path) on it, which must answer
// 0 or 1. The curve resolution is process-wide, so every input sets it and each run repeats
// alone.
template <class Effect>
int runEffectInput(const uint8_t *data, size_t size, Effect effect) {
  if (size < kHeaderBytes) return 0;
  jVectSetCurveRes(data[1] % (kMostDivisions + 1), data[2]);
  JVect *path = jVectOpen(16);
  for (size_t at = kHeaderBytes;
       at + kBytesPerPoint <= size && (at - kHeaderBytes) / kBytesPerPoint < kMaxPoints;
       at += kBytesPerPoint) {
    const uint8_t valueClass = data[at] >> 4;
    jVectAddPoint(path, JVECT_LAST, kModes[data[at] & 15], value(valueClass, data[at + 1]),
                  value(valueClass, data[at + 2]));
  }
  Params params(data + 3);
  const int32_t result = effect(data[0], params, path);
  jVectClose(path);
  if (result < 0 || result > 1) std::abort();
  return 0;
}

}  // namespace fuzzing

#endif
