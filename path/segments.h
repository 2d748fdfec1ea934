// The one walk over a contour's points that every measuring operation shares: segments as the
// point modes describe them, and the straight pieces of those segments at a curve resolution.
#ifndef OUTLINA_PATH_SEGMENTS_H
#define OUTLINA_PATH_SEGMENTS_H

#include <cstdint>

#include "geom/pt.h"
#include "outlina/path.h"

namespace outlina {

enum class SegKind : uint8_t {
  Start,  // a contour start: `to` is the point
  Line,   // straight from `from` to `to` (modes 2, 3, 11, 12, 13)
  Arc,    // from `from` through `c1` to `to`
  Cubic   // from `from` with controls `c1`, `c2` to `to`, in the library's cubic form
};

// Every coordinate holds a float value; quadratics arrive as cubics with controls (P + Q) / 2
// and (Q + E) / 2, rounded to float like stored points.
struct Segment {
  SegKind kind;
  int32_t index;  // the stored point that ends the segment (the start point for Start)
  Pt from, c1, c2, to;
};

// Yields the segments of points first..last (clamped to the path) in order. Control points,
// mode 0 and codes that name no kind yield nothing; a control that the segment's end point
// finds missing stands at the segment's start, so a malformed curve degrades to a straight one.
class SegmentWalker {
 public:
  SegmentWalker(const JVect *path, int32_t first, int32_t last);
  bool next(Segment &seg);

 private:
  void restartAt(Pt p);

  const JVectPoint *points_ = nullptr;
  int32_t at_ = 0;
  int32_t last_ = -1;
  Pt p_{}, c1_{}, c2_{}, q_{};
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
