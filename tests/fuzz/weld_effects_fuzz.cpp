// libFuzzer target: a path built from the input (see effect_input.h), run through one of the
// weld effects (offset, widen, stripe, shadow), which end in the combine, chosen and set up by
// the input.
#include <cmath>
#include <cstdint>

#include "fuzz/effect_input.h"

namespace {

using fuzzing::Params;

// Slits across the box beyond this are honest work, not a fault: the combine's work grows with
// their square, so many of them only make one input slow, and the target leaves such settings
// to the unit tests.
constexpr double kMaxSlits = 50;

// The box is the one the stripe measures, on the reoriented path: reversing a contour can turn
// stray controls into real ones, and a path that opens with no start point counts the origin.
bool slitCountIsSmall(const JWeldStripeParam &r, const JVect *path) {
  JVect *oriented = jVectDuplicate(path);
  float box[4] = {0, 0, 0, 0};
  if (oriented != nullptr && jVectSetLoopDir(oriented, JVLR_OUTER_NEGATIVE) == 1)
    jVectGetMinMax(box, oriented, JVECT_ALL);
  jVectClose(oriented);
  const double across = std::hypot(double{box[2]} - box[0], double{box[3]} - box[1]) + 2;
  return across / (double{r.stripeWidth} + r.slitWidth) < kMaxSlits;
}

int32_t runEffect(uint8_t effect, Params &p, JVect *path) {
  switch (effect % 4) {
    case 0: {
      const JWeldOffsetParam r{p.number(),  p.integer(), p.integer(), p.integer(),
                               p.integer(), p.number(),  p.integer(), p.integer()};
      return jWeldOffset(&r, path);
    }
    case 1: {
      const JWeldWidenParam r{p.number(), p.integer(), p.integer(), p.number(), p.integer()};
      return jWeldWiden(&r, path);
    }
    case 2: {
      const JWeldStripeParam r{p.number(), p.number(), p.integer(), p.number(), p.integer()};
      return slitCountIsSmall(r, path) ? jWeldStripe(&r, path) : 0;
    }
    default: {
      const JWeldShadowParam r{p.integer(), p.integer(), p.number(), p.number(), p.number(),
                               p.number(),  0.0f,        0.0f,       p.integer()};
      return jWeldShadow(&r, path);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  return fuzzing::runEffectInput(data, size, runEffect);
}
