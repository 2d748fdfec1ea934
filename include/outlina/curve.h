/* Curve flattening, bounds, containment, direction, reversal and the orientation rule. */
#ifndef OUTLINA_CURVE_H
#define OUTLINA_CURVE_H

#include "outlina/path.h"

OUTLINA_BEGIN_DECLS

OUTLINA_END_DECLS

#endif
