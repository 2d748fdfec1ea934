/* Offset, widen, stripe and shadow effects. */
#ifndef OUTLINA_EFFECTS_H
#define OUTLINA_EFFECTS_H

#include "outlina/path.h"

OUTLINA_BEGIN_DECLS

OUTLINA_END_DECLS

#endif
