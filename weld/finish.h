// The tidy-up that ends every weld effect: curves fitted again where asked, then line points
// merged and flattened points turned into plain line points. False when the curves cannot be
// fitted for want of memory (the path is then left flattened).
#ifndef OUTLINA_WELD_FINISH_H
#define OUTLINA_WELD_FINISH_H

#include <cmath>
#include <cstdint>

#include "outlina/curve.h"
#include "outlina/path.h"

namespace outlina {

bool weldFinish(JVect *path, bool fitCurves);

// Moves every point of the path by (dx, dy), control points included.
void weldShift(JVect *path, float dx, float dy);

// Runs effect(path) with the path moved so that the centre of its box lies at the origin, then
// moves whatever the effect left back. Floats are finest near zero: an outline far out on the
// sheet would otherwise be offset, cut and combined on a grid up to a hundred times coarser
// than the same outline near the origin, and tiny folds and crossings would come out
// differently. Moving by the box centre is exact for the input's own points.
template <class Effect>
int32_t weldRunCentred(JVect *path, Effect effect) {
  float box[4] = {};
  if (path != nullptr && jVectGetNum(path) > 0) jVectGetMinMax(box, path, JVECT_ALL);
  const float cx = static_cast<float>((double{box[0]} + box[2]) * 0.5);
  const float cy = static_cast<float>((double{box[1]} + box[3]) * 0.5);
  const bool moves = std::isfinite(cx) && std::isfinite(cy) && (cx != 0 || cy != 0);
  if (moves) weldShift(path, -cx, -cy);
  const int32_t result = effect(path);
  if (moves) weldShift(path, cx, cy);
  return result;
}

}  // namespace outlina

#endif
