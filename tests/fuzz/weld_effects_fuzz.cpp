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
// to the unit tests. A slit wider than the period (a negative band width) lies over the next
// ones and counts once for each slit it covers.
constexpr double kMaxSlitLayers = 50;

// Measured over every point record, controls included: reversing a contour can turn stray
// controls into real ones, so the box the stripe finds may reach as far as any record.
bool slitCountIsSmall(const JWeldStripeParam &r, JVect *path) {
  double low[2] = {INFINITY, INFINITY}, high[2] = {-INFINITY, -INFINITY};
  const JVectPoint *v = jVectGetVd(path);
  for (int32_t i = 0; i < jVectGetNum(path); ++i) {
    const double xy[2] = {v[i].x, v[i].y};
    for (int k = 0; k < 2; ++k) {
      low[k] = std::fmin(low[k], xy[k]);
      high[k] = std::fmax(high[k], xy[k]);
    }
  }
  const double across = std::hypot(high[0] - low[0], high[1] - low[1]) + 2;
  const double period = double{r.stripeWidth} + r.slitWidth;
  const double layers = std::fmax(1.0, std::fabs(double{r.slitWidth}) / period);
  return across / period * layers < kMaxSlitLayers;
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
