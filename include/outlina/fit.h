/* Curve fitting and whole-path curve conversion. */
#ifndef OUTLINA_FIT_H
#define OUTLINA_FIT_H

#include "outlina/path.h"

OUTLINA_BEGIN_DECLS

/* Replaces the run of *count points in pts (room for at least 4 points) by one piece: 4 points
   P0, c1, c2, Pe (cubic segment), 3 points (quadratic) or 2 (straight, for a run on one vertical
   or horizontal line), and sets *count. Returns the run's mean distance from the cubic segment;
   0.0 for every other result. Fewer than 3 points (or a null argument): unchanged, 0.0. */
OUTLINA_API double jMathLineToBezier(int32_t *count, float *pts);

/* The flags of jVectBezToSvt. */
enum JVectFlatten {
  JVF_LINES = 1,  /* subdivide straight segments */
  JVF_CURVES = 2, /* flatten arcs and curves into flattened runs */
  JVF_ALL = 3     /* both */
};

/* Flattens in place by JVectFlatten flags; without JVF_CURVES quadratics become cubic
   segments. Points of unknown modes
   and controls that no curve end uses are dropped. 1; 0 for null, fewer than 2 points or a
   failed allocation (path unchanged). */
OUTLINA_API int32_t jVectBezToSvt(JVect *path, int32_t flags);
/* Replaces every three-point arc by cubic segments (an arc without a usable circle by two
   straight segments). 1; 0 as jVectBezToSvt. */
OUTLINA_API int32_t jVectArcToBez(JVect *path);
/* Fits cubic segments, quadratics or straight segments to the flattened runs, then removes
   degenerate points and tiny contours. 1; 0 for null or when the work array cannot be
   allocated (path unchanged). */
OUTLINA_API int32_t jVectSvtToBez(JVect *path);
/* Removes line points between exactly horizontal or vertical neighbours and straightens curves
   whose controls lie near their chord. 1; 0 for null. */
OUTLINA_API int32_t jVectGetLine(JVect *path);

OUTLINA_END_DECLS

#endif
