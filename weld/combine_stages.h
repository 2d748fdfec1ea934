// The combine's work tables and its stages, in the order jWeldCombineVect runs them.
#ifndef OUTLINA_WELD_COMBINE_STAGES_H
#define OUTLINA_WELD_COMBINE_STAGES_H

#include <cstdint>

#include "outlina/path.h"

namespace outlina {

#pragma pack(push, 1)
// One closed contour of the flattened path: its segment range and the box of its points.
struct JWeldContour {
  int32_t first;
  int32_t end;
  float minX, minY, maxX, maxY;
};

// One straight segment; pieces cut from a base segment carry the base's index as source.
struct JWeldSegment {
  int16_t flags;
  float x0, y0, x1, y1;
  int32_t source;
};

// One segment met by a probe line.
struct JWeldCrossing {
  int16_t step;
  int32_t segment;
  double position;
  double angle;
};
#pragma pack(pop)

// Flag bits of a live segment (flags 1 to 99).
constexpr int16_t JWS_LIVE = 1;
constexpr int16_t JWS_START_CORNER = 2;
constexpr int16_t JWS_END_CORNER = 4;
// Set by the fill-rule classification on a kept segment whose filled side lies on its left.
constexpr int16_t JWS_REVERSE = 8;
// A split base segment carries this on top of its flags until splitting ends.
constexpr int16_t kWeldSplitMark = 100;
constexpr int16_t kWeldLastLiveFlags = 99;
constexpr int16_t kWeldDiscarded = -1;

// Rules of the fill-rule combine, outside the public modes 1 to 4 that jWeldCombineVect stores.
constexpr int32_t kWeldFillNonzero = -1;
constexpr int32_t kWeldFillEvenOdd = -2;

// Table sizes; one contour record stays free for the pseudo-contour of split pieces.
constexpr int32_t kWeldContourTableSize = 100000;
constexpr int32_t kWeldMaxContours = kWeldContourTableSize - 1;
constexpr int32_t kWeldSegmentTableSize = 1000000;
constexpr int32_t kWeldMaxBuildSegments = kWeldSegmentTableSize - 1;
constexpr int32_t kWeldCrossingTableSize = 10000;

// The process-wide work state of one combine call.
struct WeldTables {
  JWeldContour *contours;
  JWeldSegment *segments;
  JWeldCrossing *crossings;
  int32_t contourCount;
  int32_t segmentCount;
  int32_t rule;
};
extern WeldTables weldTables;

inline bool weldIsLive(int16_t flags) { return flags >= 1 && flags <= kWeldLastLiveFlags; }

// Allocates the three tables, counters 0, rule 1. false (nothing held) when one fails.
bool weldAllocTables();
// Releases the tables and zeroes the counters; safe to call twice.
void weldFreeTables();
// Builds contour and segment records from the flattened path. false at a limit or on a
// non-finite coordinate.
bool weldBuildSegments(const JVect *path);
// Discards pairs of edges that two contours travel in opposite directions. false when its
// search index cannot be allocated.
bool weldCancelSharedEdges();
// Crossing of the segments p and q (ends included) into out[2]; the caller passes the one of
// lower table index first so that a pair always yields the same point. 1 when they cross.
int32_t weldSegmentCross(const JWeldSegment &p, const JWeldSegment &q, float *out);
// Cuts every base segment at its crossings into pieces at the end of the table. false at a
// limit or when the search index cannot be allocated.
bool weldSplitAtCrossings();
// Removes the segments that do not bound the region of the current rule. false when a probe
// line meets too many segments or the index cannot be allocated.
bool weldClassify();
// Replaces the path by the closed chains of surviving segments. false (path untouched) only
// when the path cannot be grown to hold the result.
bool weldTrace(JVect *path);

}  // namespace outlina

#endif
