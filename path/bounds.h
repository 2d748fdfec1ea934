// Box, winding and sense of a contour given by its first and last point, for callers that
// have already found the contour (the orientation rule measures every contour of a path).
#ifndef OUTLINA_PATH_BOUNDS_H
#define OUTLINA_PATH_BOUNDS_H

#include <cstdint>

#include "outlina/path.h"

namespace outlina {

// Finds the contour holding index (-2: the last point); false for a null path, a bad index or
// no start point.
bool contourRange(const JVect *path, int32_t index, int32_t &first, int32_t &last);

// The box of the flattened points first..last; box must start at zero.
void judgeBox(const JVect *path, int32_t first, int32_t last, float *box);

// The containment code of (x, y) against the contour first..last.
int32_t windingCode(const JVect *path, int32_t first, int32_t last, float x, float y);

// The direction code of the contour first..last, whose box is given.
int32_t loopDirection(const JVect *path, int32_t first, int32_t last, const float *box);

}  // namespace outlina

#endif
