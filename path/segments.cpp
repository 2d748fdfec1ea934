#include "path/segments.h"

#include "outlina/curve.h"
#include "path/curve_res.h"

namespace outlina {
namespace {

// The finest arc step and the most cubic divisions that fit kFlattenRoom.
constexpr float kFinestAngle = 3.0f;
constexpr int32_t kMostDivisions = kFlattenRoom - 1;

// Controls built from a quadratic are rounded to float, as every point of a path is.
Pt halfway(Pt a, Pt b) {
  return {static_cast<float>((a.x + b.x) * 0.5), static_cast<float>((a.y + b.y) * 0.5)};
}

void put(float *out, int32_t i, Pt p) {
  out[2 * i] = static_cast<float>(p.x);
  out[2 * i + 1] = static_cast<float>(p.y);
}

}  // namespace

SegmentWalker::SegmentWalker(const JVect *path, int32_t first, int32_t last) {
  if (path == nullptr || path->count <= 0) return;
  points_ = path->points;
  at_ = first > 0 ? first : 0;
  last_ = last < path->count ? last : path->count - 1;
  if (at_ <= last_) p_ = {points_[at_].x, points_[at_].y};
}

void SegmentWalker::restartAt(int32_t i, Pt p) {
  p_ = p;
  previous_ = i;
  haveMid_ = haveC1_ = haveC2_ = haveQ_ = false;
}

bool SegmentWalker::ends(Segment &seg, SegKind kind, int32_t i, Pt to) {
  if (kind == SegKind::Arc && haveMid_) {
    seg = {kind, i, previous_, p_, mid_, mid_, mid_, to};
  } else if (kind == SegKind::Quad && haveQ_) {
    seg = {kind, i, previous_, p_, halfway(p_, q_), halfway(q_, to), q_, to};
  } else if (kind == SegKind::Cubic && haveC1_ && haveC2_) {
    seg = {kind, i, previous_, p_, c1_, c2_, c2_, to};
  } else {
    seg = {SegKind::Line, i, previous_, p_, p_, p_, p_, to};
  }
  restartAt(i, to);
  return true;
}

bool SegmentWalker::next(Segment &seg) {
  while (at_ <= last_) {
    const int32_t i = at_++;
    const Pt v{points_[i].x, points_[i].y};
    switch (points_[i].mode) {
      case JVM_START:
        seg = {SegKind::Start, i, previous_, v, v, v, v, v};
        restartAt(i, v);
        return true;
      case JVM_LINE:
      case JVM_LINE_ALT:
      case JVM_SVT:
      case JVM_SVT_END:
      case JVM_SVT_END_ALT:
        return ends(seg, SegKind::Line, i, v);
      case JVM_ARC_MID:
        mid_ = v;
        haveMid_ = true;
        break;
      case JVM_BEZ_CTRL1:
        c1_ = v;
        haveC1_ = true;
        break;
      case JVM_BEZ_CTRL2:
        c2_ = v;
        haveC2_ = true;
        break;
      case JVM_QUAD_CTRL:
        q_ = v;
        haveQ_ = true;
        break;
      case JVM_QUAD_END:
      case JVM_QUAD_END_ALT:
        return ends(seg, SegKind::Quad, i, v);
      case JVM_BEZ_END:
      case JVM_BEZ_END_ALT:
        return ends(seg, SegKind::Cubic, i, v);
      case JVM_ARC_END:
        return ends(seg, SegKind::Arc, i, v);
      default:
        break;
    }
  }
  return false;
}

int32_t flattenSegment(const Segment &seg, int32_t divisions, float angle, float *out) {
  put(out, 0, seg.from);
  switch (seg.kind) {
    case SegKind::Start:
      put(out, 0, seg.to);
      return 1;
    case SegKind::Line:
      put(out, 1, seg.to);
      return 2;
    case SegKind::Arc:
      put(out, 1, seg.c1);
      put(out, 2, seg.to);
      return jMathArcToLine(out, angle >= kFinestAngle ? angle : kFinestAngle);
    case SegKind::Quad:
    case SegKind::Cubic:
      put(out, 1, seg.c1);
      put(out, 2, seg.c2);
      put(out, 3, seg.to);
      return jMathBezToLine(out, divisions < kMostDivisions ? divisions : kMostDivisions);
  }
  return 1;
}

PieceWalker::PieceWalker(const JVect *path, int32_t first, int32_t last)
    : segments_(path, first, last), divisions_(curveDivisions()), angle_(curveAngle()) {}

bool PieceWalker::next(Piece &piece) {
  for (;;) {
    if (done_ + 1 < count_) {
      ++done_;
      piece = {false, seg_.index, {buf_[2 * done_ - 2], buf_[2 * done_ - 1]},
               {buf_[2 * done_], buf_[2 * done_ + 1]}};
      return true;
    }
    if (!segments_.next(seg_)) return false;
    count_ = flattenSegment(seg_, divisions_, angle_, buf_);
    done_ = 0;
    if (seg_.kind == SegKind::Start) {
      piece = {true, seg_.index, seg_.to, seg_.to};
      return true;
    }
  }
}

}  // namespace outlina
