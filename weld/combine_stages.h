// The combine's work tables and its stages, in the order jWeldCombineVect runs them.
#ifndef OUTLINA_WELD_COMBINE_STAGES_H
#define OUTLINA_WELD_COMBINE_STAGES_H

#include <cstdint>

#include "outlina/path.h"
#include "outlina/weld.h"
#include "weld/batches.h"

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
// Set by splitting on a piece that the next record continues past one clean crossing, so that
// the winding beside the next piece is one more, or with JWS_ONWARD_DOWN one less.
constexpr int16_t JWS_ONWARD = 16;
constexpr int16_t JWS_ONWARD_DOWN = 32;
// A split base segment carries this on top of its flags until splitting ends.
constexpr int16_t kWeldSplitMark = 100;
constexpr int16_t kWeldLastLiveFlags = 99;
constexpr int16_t kWeldDiscarded = -1;

// Rules of the fill-rule combine, outside the public modes 1 to 4 that jWeldCombineVect stores.
constexpr int32_t kWeldFillNonzero = -1;
constexpr int32_t kWeldFillEvenOdd = -2;

// The process-wide work state of one combine call. Every table grows with the work; one
// contour record beyond the last stays free for the pseudo-contour of split pieces.
struct WeldTables {
  JWeldContour *contours;
  JWeldSegment *segments;
  JWeldCrossing *crossings;
  int32_t contourCount;
  int32_t segmentCount;
  int32_t rule;
  int32_t contourCapacity;
  int32_t segmentCapacity;
  int32_t crossingCapacity;
  // Set when a shared edge was cancelled against copies in several contours: the segments left
  // then no longer close up, and windings differ from line to line.
  bool unevenCancel;
  // The records of the whole path while rule 1 works through its batches, 0 otherwise. A batch
  // of fewer records checks that no line cast from another batch could remove a segment it
  // leaves standing (checkLines); where one could, it sets wholeNeeded and fails, and the path is
  // combined whole.
  int32_t batchedRecords;
  bool checkLines;
  bool wholeNeeded;
};
extern WeldTables weldTables;

inline bool weldIsLive(int16_t flags) { return flags >= 1 && flags <= kWeldLastLiveFlags; }

// Readies the three tables, kept from the last combine or at a small size, counters 0, rule 1.
// false (nothing held) when one fails.
bool weldAllocTables();
// Grow a table to hold at least count records, keeping its contents. false when memory runs out
// (the table stays as it was).
bool weldReserveContours(int64_t count);
bool weldReserveSegments(int64_t count);
bool weldReserveCrossings(int64_t count);
// Releases the tables, or keeps small ones for the next combine, and zeroes the counters; safe
// to call twice.
void weldFreeTables();
// Builds contour and segment records from the flattened path. false when memory runs out or on a
// non-finite coordinate.
bool weldBuildSegments(const JVect *path);
// Discards pairs of edges that two contours travel in opposite directions. false when its
// search index cannot be allocated.
bool weldCancelSharedEdges();
// Crossing of the segments p and q (ends included) into out[2]; the caller passes the one of
// lower table index first so that a pair always yields the same point. 1 when they cross;
// segments on one line do not (weldCollinearEnds cuts them).
int32_t weldSegmentCross(const JWeldSegment &p, const JWeldSegment &q, float *out);
// The end points of q that lie strictly inside p when both lie on one line, into out (x, y
// pairs, q's start first); their number. Parallel segments have no crossing, so these points are
// where overlapping stretches must be cut for the stretches to match piece for piece.
int32_t weldCollinearEnds(const JWeldSegment &p, const JWeldSegment &q, float *out);
// Cuts every base segment at its crossings into pieces at the end of the table, and discards
// pairs of live segments, at least one of them a piece, that run exactly opposite. false when
// memory runs out.
bool weldSplitAtCrossings();
// Whether groups of contours that lie apart always combine alike in batches. Rule 1 leaves a
// contour that was not split, and that no line cast from a piece meets, as it stands; those lines
// run the whole width of the work, so one group's pieces can decide another's contours. Rule 1
// runs in batches only where each batch finds that no such line could change it (checkLines).
inline bool weldCombinesApart(int32_t rule) { return rule != JWM_UNION; }
// Runs the stages of one combine (a batch each, or the whole path) under weldTables.rule: in
// batches where groups that lie apart combine alike, and under rule 1 in batches that check
// themselves, falling back to the whole path. false when the stages fail.
bool weldStagesByRule(JVect *path, BatchWork stages);
// Removes the segments that do not bound the region of the current rule. false when memory
// runs out.
bool weldClassify();
// Replaces the path by the closed chains of surviving segments. false (path untouched) only
// when the path cannot be grown to hold the result.
bool weldTrace(JVect *path);

}  // namespace outlina

#endif
