// Test-only fault injection of Plinth, so that every allocation failure path can be run.
#ifndef OUTLINA_FRAME_PLINTH_FAULT_H
#define OUTLINA_FRAME_PLINTH_FAULT_H

#include <stdint.h>

#include "outlina/export.h"

OUTLINA_BEGIN_DECLS

/* The nth jMemAlloc from now (1 = the next) returns 0, once; 0 or less switches it off. */
OUTLINA_API void jMemTestFailNth(int32_t n);
/* 1 while an injected failure is still pending, 0 once it has fired or when off. */
OUTLINA_API int32_t jMemTestArmed(void);

OUTLINA_END_DECLS

#endif
