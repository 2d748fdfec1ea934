#include <cmath>
#include <cstdint>

#include "geom/constants.h"
#include "geom/pt.h"
#include "outlina/fit.h"
#include "outlina/offset.h"
#include "outlina/path.h"
#include "path/curve_res.h"
#include "path/room.h"
#include "path/segments.h"

namespace outlina {
namespace {

constexpr int32_t kPatternSize = 6;
constexpr int32_t kStyleRefused = 0;
constexpr int32_t kStyleSolid = 1;
constexpr int32_t kStyleOnePair = 2;
constexpr int32_t kStyleTwoPairs = 3;

int32_t activeElements(int32_t style) {
  if (style == kStyleOnePair) return 2;
  if (style == kStyleTwoPairs) return 4;
  return kPatternSize;
}

// Negative or non-finite lengths would walk backwards or never arrive, and a cycle with no
// positive length makes no progress at all.
bool patternUsable(const float *pattern, int32_t n) {
  double sum = 0.0;
  for (int32_t k = 0; k < n; ++k) {
    if (!std::isfinite(pattern[k]) || pattern[k] < 0.0f) return false;
    sum += pattern[k];
  }
  return sum > 0.0;
}

Pt rounded(Pt p) { return {static_cast<float>(p.x), static_cast<float>(p.y)}; }

double dist(Pt a, Pt b) {
  const Pt d = b - a;
  return std::sqrt(d.x * d.x + d.y * d.y);
}

class Dasher {
 public:
  Dasher(PointSink &out, const float *pattern, int32_t n) : out_(out), pattern_(pattern), n_(n) {}

  // A source contour starts: the pattern restarts with a full first dash.
  void start(Pt p, uint32_t tag) {
    closeDanglingStart();
    tag_ = tag;
    put(JVM_START, p, false);
    out_.tagLast(tag_);
    acc_ = 0.0;
    k_ = 0;
    p_ = p;
  }

  // One straight piece from the current point to e. Inside a dash e is written with endMode;
  // a dash that ends on the piece ends with splitMode. Only straight segments take the x step.
  void piece(Pt e, int32_t endMode, int32_t splitMode, bool zeroStep) {
    double l = dist(p_, e);
    double lengthBeforeCycle = l;
    int32_t splits = 0;
    while (l > 0.0) {
      const double pk = pattern_[k_];
      if (acc_ + l < pk) {
        if (k_ % 2 == 0) put(endMode, e, false);
        acc_ += l;
        break;
      }
      const double t = (pk - acc_) / l;
      const Pt step{(e.x - p_.x) * t, (e.y - p_.y) * t};
      Pt s = p_ + step;
      // A zero-length element still moves the split, so that touching dashes share no point.
      if (zeroStep && step.x == 0.0 && step.y == 0.0) s = {p_.x + kNudge, p_.y};
      s = rounded(s);
      if (k_ % 2 == 0) {
        put(splitMode, s, false);
      } else {
        put(JVM_START, s, true);
        out_.tagLast(tag_);
      }
      acc_ = 0.0;
      k_ = (k_ + 1) % n_;
      p_ = s;
      l = dist(s, e);
      // A whole cycle of elements that did not shorten what is left would never reach e
      // (lengths far below the coordinates' precision); the rest of the piece is skipped.
      if (++splits % n_ == 0) {
        if (l >= lengthBeforeCycle) break;
        lengthBeforeCycle = l;
      }
    }
    p_ = e;
  }

  // No dash may consist of its start point alone: it is closed at the last point reached.
  void closeDanglingStart() {
    if (dangling_) put(JVM_LINE, p_, false);
  }

 private:
  void put(int32_t mode, Pt p, bool splitStart) {
    out_.add(mode, p.x, p.y);
    dangling_ = splitStart;
  }

  PointSink &out_;
  const float *pattern_;
  int32_t n_;
  uint32_t tag_ = 0;
  double acc_ = 0.0;
  int32_t k_ = 0;
  Pt p_{};
  bool dangling_ = false;
};

void dashPath(PointSink &out, const JVect *src, const float *pattern, int32_t n) {
  Dasher dasher(out, pattern, n);
  SegmentWalker walker(src, 0, src->count - 1);
  const int32_t divisions = curveDivisions();
  const float angle = curveAngle();
  float buf[2 * kFlattenRoom];
  bool inContour = false;
  Segment seg;
  while (walker.next(seg)) {
    if (seg.kind == SegKind::Start) {
      dasher.start(seg.to, src->points[seg.index].tag);
      inContour = true;
      continue;
    }
    // Points before the first start belong to no contour.
    if (!inContour) continue;
    if (seg.kind == SegKind::Line) {
      dasher.piece(seg.to, JVM_LINE, JVM_LINE, true);
      continue;
    }
    const int32_t count = flattenSegment(seg, divisions, angle, buf);
    for (int32_t j = 1; j < count; ++j) {
      const int32_t endMode = j + 1 == count ? JVM_SVT_END : JVM_SVT;
      dasher.piece({buf[2 * j], buf[2 * j + 1]}, endMode, JVM_SVT_END, false);
    }
  }
  dasher.closeDanglingStart();
}

}  // namespace
}  // namespace outlina

extern "C" int32_t jVectDash(JVect *path, int32_t style, const float *pattern) {
  using namespace outlina;
  if (path == nullptr || path->count < 2 || style == kStyleRefused) return 0;
  if (style == kStyleSolid) return jVectBezToSvt(path, JVF_CURVES);
  const int32_t n = activeElements(style);
  if (pattern == nullptr || !patternUsable(pattern, n)) return 0;
  JVect *copy = jVectDuplicate(path);
  if (copy == nullptr) return 0;
  const bool written =
      rewrite(path, [&](PointSink &out) { dashPath(out, copy, pattern, n); });
  jVectClose(copy);
  return written ? 1 : 0;
}
