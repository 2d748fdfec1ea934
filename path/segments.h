// The one walk over a contour's points that every measuring operation shares: segments as the
// point modes describe them, and the straight pieces of those segments at a curve resolution.
#ifndef OUTLINA_PATH_SEGMENTS_H
#define OUTLINA_PATH_SEGMENTS_H

#include <cstdint>

#include "geom/pt.h"
#include "outlina/path.h"

namespace outlina {

// The modes of points that end a straight segment: lines and flattened pieces.
inline bool isLineMode(int32_t mode) {
  return mode == JVM_LINE || mode == JVM_LINE_ALT || mode == JVM_SVT || mode == JVM_SVT_END ||
         mode == JVM_SVT_END_ALT;
}

enum class SegKind : uint8_t {
  Start,  // a contour start: `to` is the point
  Line,   // straight from `from` to `to`
  Arc,    // from `from` through `c1` to `to`
  Quad,   // from `from` with control `q` to `to`; `c1`, `c2` hold it as a cubic segment
  Cubic   // from `from` with controls `c1`, `c2` to `to`, in the library's cubic form
};

// Every coordinate holds a float value; a quadratic's cubic controls (P + Q) / 2 and
// (Q + E) / 2 are rounded to float like stored points.
struct Segment {
  SegKind kind;
  int32_t index;     // the stored point that ends the segment (the start point for Start)
  int32_t previous;  // the on-curve point before it (-1 when none was read): the points
                     // between the two are the segment's controls or points that name no kind
  Pt from, c1, c2, q, to;
};

// Yields the segments of points first..last (clamped to the path) in order: a start point
// (1), a straight segment (2, 3, 11, 12, 13), or a curve end (22, 32, 33, 43, 44) with the
// controls of its kind read since the previous on-curve point (21; 31; 41 and 42). This is the
// one rule for malformed curves: a curve end that finds a control of its kind missing ends a
// straight segment instead, and controls that no end uses are ignored. Mode 0 and codes that
// name no kind yield nothing.
class SegmentWalker {
 public:
  SegmentWalker(const JVect *path, int32_t first, int32_t last);
  bool next(Segment &seg);

 private:
  void restartAt(int32_t i, Pt p);
  bool ends(Segment &seg, SegKind kind, int32_t i, Pt to);

  const JVectPoint *points_ = nullptr;
  int32_t at_ = 0;
  int32_t last_ = -1;
  int32_t previous_ = -1;
  Pt p_{}, mid_{}, c1_{}, c2_{}, q_{};
  bool haveMid_ = false, haveC1_ = false, haveC2_ = false, haveQ_ = false;
};

// Room for the largest flattening at a clamped resolution: a cubic at 128 divisions gives 129
// points, an arc at the 3-degree step at most 122.
constexpr int32_t kFlattenRoom = 129;

// Writes seg as a polyline into out (room for kFlattenRoom points): point 0 is seg.from and
// points 1..n-1 end its straight pieces; the last one equals seg.to. Returns n (1 for Start).
int32_t flattenSegment(const Segment &seg, int32_t divisions, float angle, float *out);

// A start point (start set, a == b) or one straight piece from a to b.
struct Piece {
  bool start;
  int32_t index;  // the stored point whose segment the piece belongs to
  Pt a, b;
};

// The straight pieces of points first..last, curves flattened at the current curve resolution.
class PieceWalker {
 public:
  PieceWalker(const JVect *path, int32_t first, int32_t last);
  bool next(Piece &piece);

 private:
  SegmentWalker segments_;
  int32_t divisions_;
  float angle_;
  Segment seg_{};
  int32_t count_ = 0;  // points of the current flattened segment
  int32_t done_ = 0;   // of which pieces up to done_ have been yielded
  float buf_[2 * kFlattenRoom];
};

}  // namespace outlina

#endif
