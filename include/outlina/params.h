/* Parameter records of the effects and dialogs, and the envelope effect. */
#ifndef OUTLINA_PARAMS_H
#define OUTLINA_PARAMS_H

#include "outlina/path.h"

OUTLINA_BEGIN_DECLS

OUTLINA_END_DECLS

#endif
