// Large paths worked in batches of groups of contours that lie apart, so that the work's tables
// grow with the largest batch rather than with the whole path.
#ifndef OUTLINA_WELD_BATCHES_H
#define OUTLINA_WELD_BATCHES_H

#include <cstdint>

#include "outlina/path.h"

namespace outlina {

// Work that rewrites a set of contours in place; false when it fails (memory, or a coordinate
// that is not finite).
using BatchWork = bool (*)(JVect *path, void *context);

// A path of more records than this is worked in batches. Enough to share the cost of a batch's
// tables; few enough that they stay near a megabyte and in the cache: a long text welds faster
// in batches of this size than of four times it.
constexpr int32_t kWeldBatchPoints = 1 << 14;
// The batch size in use: kWeldBatchPoints, lowered by tests to batch small inputs.
extern int32_t weldBatchPoints;

// Runs work over the path, in batches of groups whose boxes lie more than `reach`, and more than
// the combine's own margins, apart when the path holds more than weldBatchPoints records. The
// contours of batches that the work left as they were keep their places, and the results of the
// others follow in batch order; false (path as it was) when a batch fails.
bool weldInBatches(JVect *path, BatchWork work, void *context = nullptr, double reach = 0.0);

}  // namespace outlina

#endif
