// The fault switch of Plinth, so that tests can run every allocation failure path. Only the
// test build of Plinth (plinth_testing) has it; the shipped library never fails on purpose.
#ifndef OUTLINA_FRAME_PLINTH_FAULT_H
#define OUTLINA_FRAME_PLINTH_FAULT_H

#include <stdint.h>

namespace outlina {

// Asked by jMemAlloc before every allocation: true when this one is to fail.
bool injectedFailure();

}  // namespace outlina

extern "C" {

/* The nth jMemAlloc from now (1 = the next) returns 0, once; 0 or less switches it off. */
void jMemTestFailNth(int32_t n);
/* 1 while an injected failure is still pending, 0 once it has fired or when off. */
int32_t jMemTestArmed(void);

}  // extern "C"

#endif
