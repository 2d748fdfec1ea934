/* Plane-geometry primitives. Coordinates come in as floats, arithmetic is double; points
   written through a pointer are two floats, x then y, and a null output pointer is skipped. */
#ifndef OUTLINA_GEOM_H
#define OUTLINA_GEOM_H

#include <stdint.h>

#include "outlina/export.h"

OUTLINA_BEGIN_DECLS

/* Crossing of the infinite lines P1P2 and P3P4 into out[2]. 1; 0 when parallel (out untouched). */
OUTLINA_API int32_t jMathCross(float x1, float y1, float x2, float y2, float x3, float y3,
                               float x4, float y4, float *out);
/* 1 when the segments P1P2 and P3P4 meet (endpoints included), else 0; out holds the lines'
   crossing whenever they are not parallel. */
OUTLINA_API int32_t jMathRealCrossPoint(float x1, float y1, float x2, float y2, float x3,
                                        float y3, float x4, float y4, float *out);
/* atan2(dy, dx), with exact half-pi values on the y axis and 0 for (0, 0). */
OUTLINA_API double jMathAtan(double dy, double dx);
/* Cosine of the angle AOB; 0.0 when a ray has zero length. */
OUTLINA_API double jMathCos(float xa, float ya, float xo, float yo, float xb, float yb);
/* (P - A) x (B - A): positive when P lies right of A->B with y up, 0 on the line. */
OUTLINA_API double jMathLR(float px, float py, float ax, float ay, float bx, float by);
/* Distance between two points. */
OUTLINA_API double jMathLen(float x1, float y1, float x2, float y2);
/* Squared distance between two points. */
OUTLINA_API double jMathLen2(float x1, float y1, float x2, float y2);
/* Distance from P to the infinite line through points 1 and 2. */
OUTLINA_API double jMathDis(float x1, float y1, float x2, float y2, float px, float py);
/* Circle through P1, P2, P3 into centre[2] and radius[1]. 1: clockwise (y up) from P1 via P2
   to P3; 0: counter-clockwise; -1: no usable circle (centre (0, 0), radius 0 written). */
OUTLINA_API int32_t jMathCycOxOy(float x1, float y1, float x2, float y2, float x3, float y3,
                                 float *centre, float *radius);

OUTLINA_END_DECLS

#endif
