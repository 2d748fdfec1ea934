// libFuzzer target: a path built from the input (see effect_input.h), run through one of the
// effects that work without the combine (offset, widen, dash, envelope, curve fitting and
// curve conversion), chosen and set up by the input.
#include <cstdint>

#include "fuzz/effect_input.h"

namespace {

using fuzzing::Params;

int32_t runEffect(uint8_t effect, Params &p, JVect *path) {
  switch (effect % 9) {
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
      const JVectransShapeParam r{p.integer(), p.integer() * 4, p.number(),
                                  p.number(),  p.number(),      p.number()};
      return jVectransShapeEffect(&r, path);
    }
    case 4:
      return jVectSvtToBez(path);
    case 5:
      return jVectBezToSvt(path, p.integer());
    case 6:
      return jVectArcToBez(path);
    case 7:
      return jVectGetLine(path);
    default: {
      // The points alone, as the run of one fit: it leaves 2, 3 or 4 points, or fewer than 3
      // unchanged.
      float pts[2 * fuzzing::kMaxPoints + 8] = {};
      const int32_t n = jVectGetNum(path);
      for (int32_t i = 0; i < n; ++i) {
        pts[2 * i] = jVectGetVd(path)[i].x;
        pts[2 * i + 1] = jVectGetVd(path)[i].y;
      }
      int32_t count = n;
      jMathLineToBezier(&count, pts);
      return (n < 3 ? count == n : count >= 2 && count <= 4) ? 1 : -1;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  return fuzzing::runEffectInput(data, size, runEffect);
}
