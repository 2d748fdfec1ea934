/* Boolean combine and the plain weld. */
#ifndef OUTLINA_WELD_H
#define OUTLINA_WELD_H

#include "outlina/path.h"

OUTLINA_BEGIN_DECLS

/* Combine rules: which winding numbers the result keeps. Other values act as JWM_UNION_ALL. */
enum JWeldMode {
  JWM_UNION = 1,     /* winding 1 or more; only contours that cross others are decided */
  JWM_INTERSECT = 2, /* winding 2 or more */
  JWM_HOLE = 3,      /* winding exactly 1 */
  JWM_UNION_ALL = 4  /* winding 1 or more; every contour is decided */
};

/* Replaces the path by the combination of its closed contours (direction 1 counts +1,
   direction 2 counts -1), as flattened contours in orientation rule 1. 1; an empty result is
   also 1. 0 for null, a failed allocation of the first work tables (path untouched), a path
   that cannot be flattened, or, with the path left flattened and cleaned: a non-finite
   coordinate or a later failed allocation. The work tables grow with the path, limited only by
   memory. */
OUTLINA_API int32_t jWeldCombineVect(JVect *path, int32_t mode);
/* Fill rules of jWeldFillVect (an extension of the library): which winding numbers are inside. */
enum JWeldFillRule { JWF_NONZERO = 1, JWF_EVENODD = 2 };
/* Extension: replaces the path by the region its closed contours fill under fillRule, whatever
   the direction of each contour, as clean flattened outer contours (direction 1) and holes
   (direction 2) in orientation rule 1. Answers as jWeldCombineVect does (1; 0 on failure with
   the path as it leaves it); 0 with the path untouched for an unknown fillRule. */
OUTLINA_API int32_t jWeldFillVect(JVect *path, int32_t fillRule);
/* Combines the path by mode and fits curves to the result. 1; 0 when the combine fails. */
OUTLINA_API int32_t jWeldExecute(int32_t mode, JVect *path);

OUTLINA_END_DECLS

#endif
