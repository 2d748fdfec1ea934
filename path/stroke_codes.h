// The cap and join codes that the offset and the widening accept.
#ifndef OUTLINA_PATH_STROKE_CODES_H
#define OUTLINA_PATH_STROKE_CODES_H

#include <cstdint>

#include "outlina/offset.h"

namespace outlina {

// Any other code would leave gaps where a corner or cap is needed, so such calls are refused.
inline bool strokeCodesKnown(int32_t cap, int32_t join) {
  return cap >= JVC_SQUARE && cap <= JVC_FLAT && join >= JVJ_MITER && join <= JVJ_BEVEL;
}

}  // namespace outlina

#endif
