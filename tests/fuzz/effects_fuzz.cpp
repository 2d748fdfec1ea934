// libFuzzer target: a path built from the input, run through one effect chosen and set up by
// the input. Layout: the effect (one byte), the curve resolution (two bytes), a parameter block,
// then points of three bytes: mode and value class, x, y.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "outlina.h"

namespace {

constexpr size_t kParamBytes = 16;
constexpr size_t kHeaderBytes = 3 + kParamBytes;
constexpr size_t kBytesPerPoint = 3;
// Enough for several contours and long flattened runs, few enough that each run stays quick.
constexpr size_t kMaxPoints = 256;
// Every mode, the removal mark included; the low four bits of a point's first byte pick one.
constexpr int16_t kModes[16] = {0, 1, 2, 3, 11, 12, 13, 21, 22, 31, 32, 33, 41, 42, 43, 44};

// Values on a half-unit grid, so that shared edges and collinear runs are common; the top
// classes bring thirds (no exact float), tiny and huge values, NaN and the infinities.
float value(uint8_t valueClass, uint8_t byte) {
  const float grid = static_cast<int8_t>(byte) * 0.5f;
  switch (valueClass) {
    case 0xF: return byte & 1 ? NAN : byte & 2 ? -INFINITY : INFINITY;
    case 0xE: return grid * 1e30f;
    case 0xD: return grid * 1e-30f;
    case 0xC: return grid / 3.0f;
    default: return grid;
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

int32_t runEffect(uint8_t effect, Params &p, JVect *path) {
  switch (effect % 13) {
    case 0: {
      const float distance = p.number(), limit = p.number();
      const int32_t cap = p.integer(), join = p.integer();
      return jVectOffsetPath(path, distance, cap, join, limit, p.integer());
    }
    case 1: {
      const float width = p.number(), limit = p.number();
      const int32_t cap = p.integer();
      return jVectWidenPath(path, width, cap, p.integer(), limit);
    }
    case 2: {
      const int32_t style = p.integer();
      float pattern[6];
      for (float &element : pattern) element = p.number();
      return jVectDash(path, style, pattern);
    }
    case 3: {
      const JWeldOffsetParam r{p.number(),  p.integer(), p.integer(), p.integer(),
                               p.integer(), p.number(),  p.integer(), p.integer()};
      return jWeldOffset(&r, path);
    }
    case 4: {
      const JWeldWidenParam r{p.number(), p.integer(), p.integer(), p.number(), p.integer()};
      return jWeldWiden(&r, path);
    }
    case 5: {
      const JWeldStripeParam r{p.number(), p.number(), p.integer(), p.number(), p.integer()};
      return jWeldStripe(&r, path);
    }
    case 6: {
      const JWeldShadowParam r{p.integer(), p.integer(), p.number(), p.number(), p.number(),
                               p.number(),  0.0f,        0.0f,       p.integer()};
      return jWeldShadow(&r, path);
    }
    case 7: {
      const JVectransShapeParam r{p.integer(), p.integer() * 4, p.number(),
                                  p.number(),  p.number(),      p.number()};
      return jVectransShapeEffect(&r, path);
    }
    case 8: return jVectSvtToBez(path);
    case 9: return jVectBezToSvt(path, p.integer());
    case 10: return jVectArcToBez(path);
    case 11: return jVectGetLine(path);
    default: {
      // The points alone, as the run of one fit.
      float pts[2 * kMaxPoints + 8] = {};
      int32_t count = jVectGetNum(path);
      for (int32_t i = 0; i < count; ++i) {
        pts[2 * i] = jVectGetVd(path)[i].x;
        pts[2 * i + 1] = jVectGetVd(path)[i].y;
      }
      jMathLineToBezier(&count, pts);
      return count <= 4 || count == jVectGetNum(path) ? 1 : -1;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < kHeaderBytes) return 0;
  // The resolution is process-wide: set it for every input so that each run repeats alone.
  jVectSetCurveRes(data[1], data[2]);
  Params params(data + 3);
  JVect *path = jVectOpen(16);
  for (size_t at = kHeaderBytes; at + kBytesPerPoint <= size &&
                                 (at - kHeaderBytes) / kBytesPerPoint < kMaxPoints;
       at += kBytesPerPoint) {
    const uint8_t valueClass = data[at] >> 4;
    jVectAddPoint(path, JVECT_LAST, kModes[data[at] & 15], value(valueClass, data[at + 1]),
                  value(valueClass, data[at + 2]));
  }
  const int32_t result = runEffect(data[0], params, path);
  if (result < 0 || result > 1) std::abort();
  jVectClose(path);
  return 0;
}
