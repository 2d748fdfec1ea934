/* Curve fitting and whole-path curve conversion. */
#ifndef OUTLINA_FIT_H
#define OUTLINA_FIT_H

#include "outlina/path.h"

OUTLINA_BEGIN_DECLS

OUTLINA_END_DECLS

#endif
