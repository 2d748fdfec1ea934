// The process-wide curve resolution that every flattening reads.
#ifndef OUTLINA_PATH_CURVE_RES_H
#define OUTLINA_PATH_CURVE_RES_H

#include <cstdint>

namespace outlina {

// Pieces per cubic segment, 4 to 128.
int32_t curveDivisions();
// Arc step in degrees, 3.0 to 120.0.
float curveAngle();

}  // namespace outlina

#endif
