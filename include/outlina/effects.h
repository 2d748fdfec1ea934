/* Offset, widen, stripe and shadow effects: each changes the path in place from its parameter
   record, ends in the boolean combine and gives the result curves again. On failure the path
   holds the stage that failed. */
#ifndef OUTLINA_EFFECTS_H
#define OUTLINA_EFFECTS_H

#include <stdint.h>

#include "outlina/params.h"
#include "outlina/path.h"

OUTLINA_BEGIN_DECLS

/* Offsets every outline outward (side 0) or inward (side 1). 1; 0 for a null argument, a joint
   code outside 4..6 (path untouched) or a failed step. */
OUTLINA_API int32_t jWeldOffset(const JWeldOffsetParam *record, JVect *path);
/* Turns every contour into the outline of a stroke of the full width. 1; 0 for a null
   argument, a cap outside 1..3 or a joint outside 4..6 (path untouched) or a failed step. */
OUTLINA_API int32_t jWeldWiden(const JWeldWidenParam *record, JVect *path);
/* Cuts the outlines into bands. 1; 0 for a null argument, a band plus gap width that is not
   positive (path untouched) or a failed step. */
OUTLINA_API int32_t jWeldStripe(const JWeldStripeParam *record, JVect *path);
/* Gives the outlines a block, drop, cast or perspective shadow. 1; 0 for a null argument, an
   option outside 0..5, a cast shadow of a path without height (path untouched) or a failed
   step. */
OUTLINA_API int32_t jWeldShadow(const JWeldShadowParam *record, JVect *path);

OUTLINA_END_DECLS

#endif
