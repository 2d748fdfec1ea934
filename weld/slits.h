// The slit rectangles that the stripe effect cuts out of the outlines.
#ifndef OUTLINA_WELD_SLITS_H
#define OUTLINA_WELD_SLITS_H

#include <cstdint>

#include "outlina/params.h"
#include "outlina/path.h"

namespace outlina {

// Appends one counter-clockwise rectangle per slit across box (min x, min y, max x, max y).
// 1; 0 when a point could not be appended, or (with nothing appended) when the box would take
// more slits than any drawing needs. The caller makes sure that stripeWidth + slitWidth is
// positive.
int32_t weldMakeSlits(const JWeldStripeParam &record, JVect *path, const float box[4]);

}  // namespace outlina

#endif
