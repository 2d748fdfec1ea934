#include "shape/envelope_formula.h"

#include <cmath>

#include "geom/constants.h"

namespace outlina {
namespace {

// Stored quarter of the strength: 100 % bends by a quarter of the box's height or width.
constexpr double kStrengthToK = 0.25;
// Types come in groups of eight: four that move y, then four that move x.
constexpr int32_t kFamilySize = 8;
constexpr int32_t kMovesYPerFamily = 4;

// Each sine is rounded to a float before it is used, as the shapes were tuned with.
float sineF(double turn, double along, double extent) {
  return static_cast<float>(std::sin(turn * along / extent));
}

}  // namespace

EnvelopeBox envelopeBox(float strength, float w, float h) {
  return {static_cast<float>(strength * kStrengthToK), w, h, static_cast<float>(w * 0.5),
          static_cast<float>(h * 0.5)};
}

bool envelopeMovesY(int32_t type) {
  // Widened so that the extreme i32 values cannot overflow the subtraction.
  return (static_cast<int64_t>(type) - 1) % kFamilySize < kMovesYPerFamily;
}

Pt envelopeMove(int32_t type, const EnvelopeBox &b, Pt p) {
  const double k = b.k, w = b.w, h = b.h, hw = b.hw, hh = b.hh;
  const double x = p.x, y = p.y;
  const double sX1 = sineF(kPi, x, w), sX2 = sineF(kTwoPi, x, w);
  const double sY1 = sineF(kPi, y, h), sY2 = sineF(kTwoPi, y, h);
  // Products are formed as s * extent * k, the order the shapes were first written in.
  switch (type) {
    case 1: return {x, y + sX1 * h * k};
    case 2: return {x, y - sX1 * h * k};
    case 3: return {x, hh + (y - hh) * (1 - 2 * k * sX1)};
    case 4: return {x, hh + (y - hh) * (1 + 2 * k * sX1)};
    case 5: return {x + sY1 * w * k, y};
    case 6: return {x - sY1 * w * k, y};
    case 7: return {hw + (x - hw) * (1 - 2 * k * sY1), y};
    case 8: return {hw + (x - hw) * (1 + 2 * k * sY1), y};
    case 9: return {x, y + sX2 * h * k};
    case 10: return {x, y - sX2 * h * k};
    case 11: return {x, hh + (y - hh) * (1 - 2 * k * sX2)};
    case 12: return {x, hh + (y - hh) * (1 + 2 * k * sX2)};
    case 13: return {x - sY2 * w * k, y};
    case 14: return {x + sY2 * w * k, y};
    case 15: return {hw + (x - hw) * (1 + 2 * k * sY2), y};
    case 16: return {hw + (x - hw) * (1 - 2 * k * sY2), y};
    case 17: return {x, h + (y - h) * (1 - k * sX1)};
    case 18: return {x, h + (y - h) * (1 + k * sX1)};
    case 19: return {x, h + (y - h) * (1 - k * sX2)};
    case 20: return {x, h + (y - h) * (1 + k * sX2)};
    case 21: return {x * (1 - k * sY1), y};
    case 22: return {x * (1 + k * sY1), y};
    case 23: return {x * (1 + k * sY2), y};
    case 24: return {x * (1 - k * sY2), y};
    case 25: return {x, y * (1 - k * sX1)};
    case 26: return {x, y * (1 + k * sX1)};
    case 27: return {x, y * (1 - k * sX2)};
    case 28: return {x, y * (1 + k * sX2)};
    case 29: return {w + (x - w) * (1 - k * sY1), y};
    case 30: return {w + (x - w) * (1 + k * sY1), y};
    case 31: return {w + (x - w) * (1 + k * sY2), y};
    case 32: return {w + (x - w) * (1 - k * sY2), y};
    default: return p;
  }
}

}  // namespace outlina
