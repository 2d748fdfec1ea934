/* Plinth: the memory and bounding-box services under Outlina. */
#ifndef PLINTH_H
#define PLINTH_H

#include <stdint.h>

#include "outlina/export.h"

OUTLINA_BEGIN_DECLS

/* A zeroed block of at least size bytes; 0 when it cannot be had (also for size 0). */
OUTLINA_API void *jMemAlloc(uint32_t size);

/* Releases a block from jMemAlloc; a null address is ignored. */
OUTLINA_API void jMemFree(void *block);

/* Widens box (min x, min y, max x, max y) to hold (x, y); the caller seeds the box from its
   first point. Always 1; a null box is ignored. */
OUTLINA_API int32_t jMinMaxJudge(float *box, float x, float y);

OUTLINA_END_DECLS

#endif
