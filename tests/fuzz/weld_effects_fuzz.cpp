// libFuzzer target: a path built from the input (see effect_input.h), run through one of the
// weld effects (offset, widen, stripe, shadow), which end in the combine, chosen and set up by
// the input.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "fuzz/effect_input.h"

namespace {

using fuzzing::Params;

// Every effect here ends in the combine, whose work grows with the square of the segments it
// meets: a few contours with curves at the coarsest resolution, as in the combine's own target,
// try the same cases many times faster. Finer curves and longer paths meet the effects' own code
// in the other effects target. At 24 points a ten-minute run grew the corpus to a rate of under
// 400 inputs a second; at 16 points two such runs grew it to 750, most of the time going to
// libFuzzer's count of the 35,000 features those inputs reach. 12 points run some 1,900 on that
// corpus and reach all but 150 of its edges.
constexpr size_t kMostBytes = fuzzing::kHeaderBytes + 12 * fuzzing::kBytesPerPoint;
constexpr int32_t kCurveDivisions = 4;
constexpr float kCurveAngle = 120.0f;

// Slits across the box beyond this are honest work, not a fault: the combine's work grows with
// their square, so many of them only make one input slow, and the target leaves such settings
// to the unit tests.
constexpr double kMaxSlits = 16;

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

// Coordinates near the float limit beside ordinary ones widen the combine's stray margin, which
// follows the largest coordinate, until its later split passes meet every pair of segments:
// right, but seconds an input, and the combine's own target tries such mixes. Huge paths and
// lengths at one scale, and non-finite ones anywhere, are still tried.
constexpr double kHuge = 1e20;

// Whether a path coordinate or one of the effect's lengths is huge while some nonzero path
// coordinate is ordinary.
bool mixesScales(const JVect *path, std::initializer_list<float> lengths) {
  auto huge = [](float v) { return std::isfinite(v) && std::fabs(v) >= kHuge; };
  bool anyHuge = std::any_of(lengths.begin(), lengths.end(), huge), ordinary = false;
  for (int32_t i = 0; i < jVectGetNum(path); ++i)
    for (const float v : {jVectGetVd(path)[i].x, jVectGetVd(path)[i].y}) {
      anyHuge = anyHuge || huge(v);
      ordinary = ordinary || (v != 0 && std::fabs(v) < kHuge);
    }
  return anyHuge && ordinary;
}

int32_t runEffect(uint8_t effect, Params &p, JVect *path) {
  jVectSetCurveRes(kCurveDivisions, kCurveAngle);  // in place of the input's own resolution
  switch (effect % 4) {
    case 0: {
      const JWeldOffsetParam r{p.number(),  p.integer(), p.integer(), p.integer(),
                               p.integer(), p.number(),  p.integer(), p.integer()};
      return mixesScales(path, {r.distance}) ? 0 : jWeldOffset(&r, path);
    }
    case 1: {
      const JWeldWidenParam r{p.number(), p.integer(), p.integer(), p.number(), p.integer()};
      return mixesScales(path, {r.width}) ? 0 : jWeldWiden(&r, path);
    }
    case 2: {
      const JWeldStripeParam r{p.number(), p.number(), p.integer(), p.number(), p.integer()};
      const bool mixes = mixesScales(path, {r.stripeWidth, r.slitWidth});
      return !mixes && slitCountIsSmall(r, path) ? jWeldStripe(&r, path) : 0;
    }
    default: {
      const JWeldShadowParam r{p.integer(), p.integer(), p.number(), p.number(), p.number(),
                               p.number(),  0.0f,        0.0f,       p.integer()};
      return mixesScales(path, {r.dx, r.dy, r.ratio, r.offset}) ? 0 : jWeldShadow(&r, path);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  return fuzzing::runEffectInput(data, std::min(size, kMostBytes), runEffect);
}
