/* Path object, point records and contours. */
#ifndef OUTLINA_PATH_H
#define OUTLINA_PATH_H

#include <stdint.h>

#include "outlina/export.h"

OUTLINA_BEGIN_DECLS

/* Point mode codes. The kind of a segment is carried by the point that ends it. A curve end
   is a curve only with the controls of its kind after the previous on-curve point (21 for 22;
   31 for 32 and 33; 41 and 42 for 43 and 44); without them every operation takes it as the end
   of a straight segment and ignores the stray controls. */
enum JVectMode {
  JVM_NONE = 0,          /* marked for removal */
  JVM_START = 1,         /* first point of a contour */
  JVM_LINE = 2,          /* end of a straight segment */
  JVM_LINE_ALT = 3,      /* as JVM_LINE, second variant */
  JVM_SVT = 11,          /* inner point of a flattened curve */
  JVM_SVT_END = 12,      /* last point of a flattened curve */
  JVM_SVT_END_ALT = 13,  /* as JVM_SVT_END, second variant */
  JVM_ARC_MID = 21,      /* through point of a three-point arc */
  JVM_ARC_END = 22,      /* end point of that arc */
  JVM_QUAD_CTRL = 31,    /* control point of a quadratic curve */
  JVM_QUAD_END = 32,     /* end point of a quadratic curve */
  JVM_QUAD_END_ALT = 33, /* as JVM_QUAD_END, second variant */
  JVM_BEZ_CTRL1 = 41,    /* first control of a cubic segment (three-quarter handle form) */
  JVM_BEZ_CTRL2 = 42,    /* second control of that segment */
  JVM_BEZ_END = 43,      /* end point of that segment */
  JVM_BEZ_END_ALT = 44   /* as JVM_BEZ_END, second variant */
};

/* One point record: exactly 14 bytes, no padding, shared with the host through jVectGetVd. */
#pragma pack(push, 1)
typedef struct JVectPoint {
  int16_t mode;
  float x;
  float y;
  uint32_t tag; /* the contour's tag, meaningful on its start point */
} JVectPoint;
#pragma pack(pop)

/* The path header. The handle is its address; points is replaced whenever the path grows. */
typedef struct JVect {
  int32_t capacity;   /* records allocated in points */
  int32_t count;      /* records in use */
  int32_t loop;       /* the caller's word, see jVectGetLoop */
  JVectPoint *points;
} JVect;

/* Index conventions: -2 is the last point; -1 is every contour where a function says so. */
#define JVECT_LAST (-2)
#define JVECT_ALL (-1)

/* Lifecycle and whole-path operations. */

/* A new path of capacity zeroed records; null when an allocation fails or capacity < 1. */
OUTLINA_API JVect *jVectOpen(int32_t capacity);
/* Frees the path; null is ignored. */
OUTLINA_API void jVectClose(JVect *path);
/* Zeroes every record and sets count to 0. 1; 0 for null. */
OUTLINA_API int32_t jVectClear(JVect *path);
/* Adds n records (n >= 1). 1; 0 for null, n < 1 or a failed allocation (path unchanged). */
OUTLINA_API int32_t jVectExpand(JVect *path, int32_t n);
/* Makes destination a copy of source. 1; 0 for null or a failed growth (destination unchanged). */
OUTLINA_API int32_t jVectCopy(JVect *destination, const JVect *source);
/* Appends source's points to destination, growing it when fewer than 10,000 records would be
   left spare after them. 1; 0 for null or a failed growth (unchanged). */
OUTLINA_API int32_t jVectAdd(JVect *destination, const JVect *source);
/* An independent copy; null for null or a failed allocation. */
OUTLINA_API JVect *jVectDuplicate(const JVect *source);
/* The point count; 0 for null. */
OUTLINA_API int32_t jVectGetNum(const JVect *path);
/* The loop word; 0 for null. */
OUTLINA_API int32_t jVectGetLoop(const JVect *path);
/* The point array; null for null. Valid until the next operation that may grow the path. */
OUTLINA_API JVectPoint *jVectGetVd(const JVect *path);
/* Sets the curve resolution: divisions clamped to 4..128, angle (degrees) to 3.0..120.0. */
OUTLINA_API void jVectSetCurveRes(int32_t divisions, float angle);

/* Point access. Indexes run 0 to count-1, or -2 for the last point; a bad index fails. */

/* Reads a point; null out pointers are skipped. 1; 0 for null or a bad index. */
OUTLINA_API int32_t jVectGetPoint(const JVect *path, int32_t index, int32_t *mode, float *x,
                                  float *y);
/* Writes mode, x and y; the tag stays. 1; 0 for null or a bad index. */
OUTLINA_API int32_t jVectSetPoint(JVect *path, int32_t index, int16_t mode, float x, float y);
/* Writes the mode. 1; 0 for null or a bad index. */
OUTLINA_API int32_t jVectSetMode(JVect *path, int32_t index, int16_t mode);
/* Writes tag on the start of the contour holding index (-1: every contour).
   1; 0 for null, a bad index or no start point. */
OUTLINA_API int32_t jVectSetTag(JVect *path, int32_t index, uint32_t tag);
/* Turns modes 11 and 12 into 2. 1; 0 for null. */
OUTLINA_API int32_t jVectSetAttri(JVect *path);
/* Moves a point by (dx, dy). 1; 0 for null or a bad index. */
OUTLINA_API int32_t jVectMovePoint(JVect *path, int32_t index, float dx, float dy);
/* Marks a point for removal (mode 0). 1; 0 for null or a bad index. */
OUTLINA_API int32_t jVectInvalidPoint(JVect *path, int32_t index);
/* Removes every mode-0 point; the new count, 0 for null. */
OUTLINA_API int32_t jVectSweepPoint(JVect *path);
/* Inserts a point at index (0..count, -2 appends) with tag 0; the new count, -1 for null,
   a failed growth or a bad index. */
OUTLINA_API int32_t jVectAddPoint(JVect *path, int32_t index, int16_t mode, float x, float y);
/* Removes a point; the new count, -1 for null, a bad index or -2 on an empty path. */
OUTLINA_API int32_t jVectDelPoint(JVect *path, int32_t index);
/* Removes the last n points (at most all); the new count, -1 for null or n < 0. */
OUTLINA_API int32_t jVectRewindPoint(JVect *path, int32_t n);
/* Index of the start of the contour holding index; -1 for null, a bad index or none. */
OUTLINA_API int32_t jVectGetStartPos(const JVect *path, int32_t index);
/* Index of the last point of the contour holding index; -1 for null or a bad index. */
OUTLINA_API int32_t jVectGetEndPos(const JVect *path, int32_t index);

/* Contours. */

/* Points in the contour holding index; -1 for a bad index or no start point, 0 for null. */
OUTLINA_API int32_t jVectGetLength(const JVect *path, int32_t index);
/* 1 when every contour is closed (also when empty); 0 otherwise or for null. */
OUTLINA_API int32_t jVectCheckLoop(const JVect *path);
/* Closes the contour holding index (-1: every contour) by repeating its start.
   1; 0 for null or a failed growth (path unchanged). */
OUTLINA_API int32_t jVectClosePoint(JVect *path, int32_t index);
/* Makes an on-curve point the start of its closed contour. 1; 0 when it cannot. */
OUTLINA_API int32_t jVectSetStartPos(JVect *path, int32_t index);
/* Index of the point nearest (x, y), the later one on ties; -1 for null or an empty path. */
OUTLINA_API int32_t jVectSearchPoint(const JVect *path, float x, float y);
/* Removes degenerate curves, repeated line points and contours of up to three points;
   the new count, 0 for null. */
OUTLINA_API int32_t jVectDelNoise(JVect *path);
/* Scales every coordinate about the origin. 1; 0 for null. */
OUTLINA_API int32_t jVectScale(JVect *path, float factor);
/* Moves every coordinate toward zero onto the grid. 1; 0 for null, a zero or non-finite grid
   or fewer than two points. */
OUTLINA_API int32_t jVectSnap(JVect *path, float grid);

OUTLINA_END_DECLS

#endif
