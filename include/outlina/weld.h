/* Boolean combine and the plain weld. */
#ifndef OUTLINA_WELD_H
#define OUTLINA_WELD_H

#include "outlina/path.h"

OUTLINA_BEGIN_DECLS

OUTLINA_END_DECLS

#endif
