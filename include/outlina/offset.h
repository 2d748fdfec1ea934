/* Offset corner, offset path, widening and dashing. */
#ifndef OUTLINA_OFFSET_H
#define OUTLINA_OFFSET_H

#include "outlina/path.h"

OUTLINA_BEGIN_DECLS

/* Shape where a contour turns straight back on itself. */
enum JVectCap {
  JVC_SQUARE = 1, /* square end reaching the distance beyond the point */
  JVC_ROUND = 2,  /* half-round end */
  JVC_FLAT = 3    /* straight across */
};

/* Shape of ordinary corners. */
enum JVectJoin {
  JVJ_MITER = 4, /* sharp corner up to the miter limit, beveled beyond */
  JVJ_ROUND = 5, /* one cubic segment */
  JVJ_BEVEL = 6  /* straight across */
};

/* Which components of the offset vector move points. */
enum JVectAxis {
  JVO_BOTH = 0,
  JVO_X = 1,
  JVO_Y = 2
};

/* What jMathWeight built at a vertex, and so which output points of its record are set. */
enum JMathWeightResult {
  JMW_OUTSIDE = -1,    /* the offset sides cross outside their ends: p1, p2, p3 */
  JMW_NONE = 0,        /* a cap or join code outside its list: nothing written */
  JMW_SQUARE_CAP = 1,  /* p1, p2 */
  JMW_ROUND_CAP = 2,   /* cubic segment p1..p4 */
  JMW_FLAT_CAP = 3,    /* p1, p2 */
  JMW_POINT = 4,       /* one corner point p1: a miter point or the sides' crossing */
  JMW_ROUND_JOIN = 5,  /* cubic segment p1..p4 */
  JMW_BEVEL = 6        /* p1, p2 */
};

/* One pair of coordinates inside a JMathCorner. */
typedef struct JMathXY {
  float x;
  float y;
} JMathXY;

/* The corner record of jMathWeight: a, b, c in; the rest out. Only the fields that the result
   code names are written. */
typedef struct JMathCorner {
  JMathXY a;     /* previous point */
  JMathXY b;     /* the vertex */
  JMathXY c;     /* next point */
  JMathXY cross; /* crossing of the two offset sides, (0, 0) when they are parallel */
  JMathXY p1;
  JMathXY p2;
  JMathXY p3;
  JMathXY p4;
} JMathCorner;

/* Offset geometry at the vertex b for a signed distance (left of travel with y up). Returns a
   JMathWeightResult; JMW_NONE also for a null record. */
OUTLINA_API int32_t jMathWeight(JMathCorner *corner, float distance, int32_t cap, int32_t join,
                                float limit, int32_t axis);

/* Replaces every contour by its offset. 1 (also for an empty path); 0 with the path unchanged
   for null, a cap or join code outside its list, or when memory for the working copy or the
   result runs out. */
OUTLINA_API int32_t jVectOffsetPath(JVect *path, float distance, int32_t cap, int32_t join,
                                    float limit, int32_t axis);

/* Replaces every contour by the outline of a band of the given full width. The result of the
   last offset made (1 on success); 0 with the path unchanged for null, a cap or join code
   outside its list, or when memory runs out. */
OUTLINA_API int32_t jVectWidenPath(JVect *path, float width, int32_t cap, int32_t join,
                                   float limit);

/* Cuts every contour into dashes by pattern[6] (dash, gap, ...); style 1 only flattens curves,
   2, 3 and others use 2, 4 and 6 elements. 1; 0 for null, fewer than two points, style 0, a
   null pattern, no positive active element or when memory runs out (path unchanged). */
OUTLINA_API int32_t jVectDash(JVect *path, int32_t style, const float *pattern);

OUTLINA_END_DECLS

#endif
