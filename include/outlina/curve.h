/* Curve flattening, bounds, containment, direction, reversal and the orientation rule. */
#ifndef OUTLINA_CURVE_H
#define OUTLINA_CURVE_H

#include "outlina/path.h"

OUTLINA_BEGIN_DECLS

/* Point arrays are consecutive (x, y) float pairs; point 0 is never changed. Cubic segments
   store their controls at three quarters of the standard handles. */

/* Flattens the arc A, M, E in pts at step degrees (room: 360 / step + 2 points); the points now
   in pts, 3 with pts unchanged when there is no circle, the ends lie within one step or the step
   is not positive; 0 for null pts. */
OUTLINA_API int32_t jMathArcToLine(float *pts, float step);
/* Flattens the cubic segment P0, P1, P2, P3 in pts into n pieces (room: n + 1 points); the
   points now in pts, 1 to n + 1; 0 for null pts. */
OUTLINA_API int32_t jMathBezToLine(float *pts, int32_t n);
/* Replaces the arc A, M, E in pts by one to three cubic segments (room: 13 points); 1 + 3N, 3
   with pts unchanged when there is no circle; 0 for null pts. */
OUTLINA_API int32_t jMathArcToBez(float *pts);
/* Least distance from (px, py) to 37 evenly spaced points of the cubic segment seg; -1.0 for
   null seg. */
OUTLINA_API double jMathBezierDis(const float *seg, float px, float py);

/* Box (min x, min y, max x, max y) of the flattened contour holding index (-1: the whole path,
   -2: the last point) into box; returns box, all zeros for a null path, an empty selection or a
   bad index; null for a null box. */
OUTLINA_API float *jVectGetMinMax(float *box, const JVect *path, int32_t index);
/* Where (x, y) lies against the contour holding index: 2 inside a positive loop, 1 inside a
   negative loop, -1 outside; 0 on a stored point, for a null path or a bad index. */
OUTLINA_API int32_t jVectIsInside(const JVect *path, int32_t index, float x, float y);
/* Sense of the contour holding index: 1 negative (clockwise, y up), 2 positive; 0 for a null
   path, a bad index or a contour that never crosses its middle line. */
OUTLINA_API int32_t jVectGetLoopDir(const JVect *path, int32_t index);

/* Reverses the contour holding index (-1: every contour), keeping each segment's kind and each
   tag's position. 1; 0 for a null path, a bad index or no start point. */
OUTLINA_API int32_t jVectReverse(JVect *path, int32_t index);
/* Turns every contour into a closed loop that runs forward and back. 1; 0 with the path
   unchanged for a null path, fewer than two points or a failed copy. */
OUTLINA_API int32_t jVectMakeReverseLoop(JVect *path);
/* Orients every contour by nesting depth: rule 1 outer contours direction 1 and holes 2, rule 2
   the opposite, any other rule reverses all. 1; 0 with the path unchanged for a null path,
   fewer than three points or a failed allocation. */
OUTLINA_API int32_t jVectSetLoopDir(JVect *path, int32_t rule);

OUTLINA_END_DECLS

#endif
