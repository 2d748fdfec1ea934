#include "path/bounds.h"

#include <cmath>

#include "geom/constants.h"
#include "outlina/curve.h"
#include "outlina/geom.h"
#include "path/segments.h"
#include "plinth.h"

namespace outlina {
namespace {

// A winding sum within a tenth of a turn of one full turn (of the library's two pi) counts as
// inside; twice round counts as outside.
constexpr double kOneTurnLow = 5.6548667763;
constexpr double kOneTurnHigh = 6.9115038377;

}  // namespace

bool contourRange(const JVect *path, int32_t index, int32_t &first, int32_t &last) {
  first = jVectGetStartPos(path, index);
  if (first < 0) return false;
  last = jVectGetEndPos(path, first);
  return last >= first;
}

void judgeBox(const JVect *path, int32_t first, int32_t last, float *box) {
  bool judged = false;
  PieceWalker pieces(path, first, last);
  Piece piece;
  while (pieces.next(piece)) {
    const float x = static_cast<float>(piece.b.x), y = static_cast<float>(piece.b.y);
    if (piece.start && !judged) {
      box[0] = box[2] = x;
      box[1] = box[3] = y;
    }
    jMinMaxJudge(box, x, y);
    judged = true;
  }
}

int32_t windingCode(const JVect *path, int32_t first, int32_t last, float x, float y) {
  for (int32_t i = first; i <= last; ++i)
    if (path->points[i].x == x && path->points[i].y == y) return 0;
  double total = 0.0;
  PieceWalker pieces(path, first, last);
  Piece piece;
  while (pieces.next(piece)) {
    const Pt a = piece.a, b = piece.b;
    if (piece.start || (a.x == b.x && a.y == b.y)) continue;
    if (!(std::fabs(x - a.x) + std::fabs(y - a.y) > 0.0 &&
          std::fabs(x - b.x) + std::fabs(y - b.y) > 0.0))
      continue;
    double d = jMathAtan(b.y - y, b.x - x) - jMathAtan(a.y - y, a.x - x);
    if (d > kPi) d -= kTwoPi;
    if (d < -kPi) d += kTwoPi;
    total += d;
  }
  if (total > kOneTurnLow && total < kOneTurnHigh) return 2;
  if (total > -kOneTurnHigh && total < -kOneTurnLow) return 1;
  return -1;
}

int32_t loopDirection(const JVect *path, int32_t first, int32_t last, const float *box) {
  const double middle = (static_cast<double>(box[1]) + box[3]) * 0.5;
  bool found = false;
  double bestX = 0.0, bestAngle = 0.0;
  int32_t result = 0;
  PieceWalker pieces(path, first, last);
  Piece piece;
  while (pieces.next(piece)) {
    const Pt a = piece.a, b = piece.b;
    if (piece.start || !((a.y > middle && b.y <= middle) || (a.y <= middle && b.y > middle)))
      continue;
    const double x = a.x + (middle - a.y) * (b.x - a.x) / (b.y - a.y);
    double angle = jMathAtan(b.y - a.y, b.x - a.x);
    if (angle < 0.0) angle += kPi;
    // The leftmost crossing wins; at the same x, the larger angle folded into [0, pi).
    if (!found || x < bestX || (x == bestX && angle > bestAngle)) {
      found = true;
      bestX = x;
      bestAngle = angle;
      result = a.y <= b.y ? 1 : 2;
    }
  }
  return result;
}

}  // namespace outlina

using namespace outlina;

extern "C" {

float *jVectGetMinMax(float *box, const JVect *path, int32_t index) {
  if (box == nullptr) return nullptr;
  box[0] = box[1] = box[2] = box[3] = 0.0f;
  if (path == nullptr) return box;
  int32_t first = 0, last = path->count - 1;
  if (index != JVECT_ALL && !contourRange(path, index, first, last)) return box;
  judgeBox(path, first, last, box);
  return box;
}

int32_t jVectIsInside(const JVect *path, int32_t index, float x, float y) {
  int32_t first, last;
  if (!contourRange(path, index, first, last)) return 0;
  return windingCode(path, first, last, x, y);
}

int32_t jVectGetLoopDir(const JVect *path, int32_t index) {
  int32_t first, last;
  if (!contourRange(path, index, first, last)) return 0;
  float box[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  judgeBox(path, first, last, box);
  return loopDirection(path, first, last, box);
}

}  // extern "C"
