/* Offset corner, offset path, widening and dashing. */
#ifndef OUTLINA_OFFSET_H
#define OUTLINA_OFFSET_H

#include "outlina/path.h"

OUTLINA_BEGIN_DECLS

OUTLINA_END_DECLS

#endif
