#include <algorithm>
#include <cstdint>
#include <cstring>

#include "geom/pt.h"
#include "outlina/curve.h"
#include "outlina/fit.h"
#include "outlina/geom.h"
#include "path/curve_res.h"
#include "path/room.h"
#include "path/segments.h"
#include "plinth.h"

namespace outlina {
namespace {

// Arc-to-cubic conversion writes at most 13 points (an arc that reaches a full turn).
constexpr int kArcBezRoom = 13;
// A flattened run turns at a vertex by more than about 11.5 degrees when the cosine of the angle
// between its neighbours rises above this.
constexpr double kBendCos = -0.98;
// Fit tolerance: a hundredth of the run's two half-chords, but never below a tenth of a unit.
constexpr double kTolFactor = 0.01;
constexpr double kMinTol = 0.1;
// The curve fit writes up to four points into its array, however short the run.
constexpr int64_t kFitMinRoom = 4;

Pt pointOf(const JVectPoint &p) { return {p.x, p.y}; }

void add(PointSink &out, int32_t mode, Pt p) { out.add(mode, p.x, p.y); }

bool isSvtMode(int16_t mode) {
  return mode == JVM_SVT || mode == JVM_SVT_END || mode == JVM_SVT_END_ALT;
}

// A contour's start keeps the tag of the point it came from.
void addStart(PointSink &out, const JVect &src, const Segment &seg) {
  add(out, JVM_START, seg.to);
  out.tagLast(src.points[seg.index].tag);
}

// Appends the pieces of a flattened curve: its inner points as JVM_SVT, then its stored end.
void addFlattened(PointSink &out, const float *buf, int32_t count, Pt end) {
  for (int32_t k = 1; k <= count - 2; ++k) add(out, JVM_SVT, loadPt(buf, k));
  add(out, JVM_SVT_END, end);
}

void flattenWalk(const JVect &src, int32_t flags, PointSink &out) {
  const bool splitLines = (flags & JVF_LINES) != 0;
  const bool flattenCurves = (flags & JVF_CURVES) != 0;
  const int32_t divisions = curveDivisions();
  const float angle = curveAngle();
  float buf[2 * kFlattenRoom];
  SegmentWalker walker(&src, 0, src.count - 1);
  for (Segment seg; walker.next(seg);) {
    const int16_t mode = src.points[seg.index].mode;
    switch (seg.kind) {
      case SegKind::Start:
        addStart(out, src, seg);
        break;
      case SegKind::Line:
        if (isSvtMode(mode)) {
          add(out, mode, seg.to);
        } else if (splitLines) {
          for (int32_t k = 1; k < divisions; ++k) {
            const double t = static_cast<double>(k) / divisions;
            add(out, JVM_SVT, t * seg.to + (1.0 - t) * seg.from);
          }
          add(out, JVM_SVT_END, seg.to);
        } else {
          add(out, JVM_LINE, seg.to);
        }
        break;
      case SegKind::Arc:
        if (flattenCurves) {
          const int32_t r = flattenSegment(seg, divisions, angle, buf);
          addFlattened(out, buf, r, loadPt(buf, r - 1));
        } else {
          add(out, JVM_ARC_MID, seg.c1);
          add(out, JVM_ARC_END, seg.to);
        }
        break;
      case SegKind::Quad:
      case SegKind::Cubic:
        if (flattenCurves) {
          addFlattened(out, buf, flattenSegment(seg, divisions, angle, buf), seg.to);
        } else {
          add(out, JVM_BEZ_CTRL1, seg.c1);
          add(out, JVM_BEZ_CTRL2, seg.c2);
          add(out, JVM_BEZ_END, seg.to);
        }
        break;
    }
  }
}

void arcToBezWalk(const JVect &src, PointSink &out) {
  float buf[2 * kArcBezRoom];
  SegmentWalker walker(&src, 0, src.count - 1);
  for (Segment seg; walker.next(seg);) {
    const int16_t mode = src.points[seg.index].mode;
    switch (seg.kind) {
      case SegKind::Start:
        addStart(out, src, seg);
        break;
      case SegKind::Line:
        // A curve end without its controls ends a straight segment.
        add(out, isLineMode(mode) ? mode : int16_t{JVM_LINE}, seg.to);
        break;
      case SegKind::Quad:
        add(out, JVM_QUAD_CTRL, seg.q);
        add(out, mode, seg.to);
        break;
      case SegKind::Cubic:
        add(out, JVM_BEZ_CTRL1, seg.c1);
        add(out, JVM_BEZ_CTRL2, seg.c2);
        add(out, mode, seg.to);
        break;
      case SegKind::Arc: {
        storePt(buf, 0, seg.from);
        storePt(buf, 1, seg.c1);
        storePt(buf, 2, seg.to);
        const int32_t r = jMathArcToBez(buf);
        if (r >= 4) {
          static constexpr int16_t kRole[3] = {JVM_BEZ_END, JVM_BEZ_CTRL1, JVM_BEZ_CTRL2};
          for (int32_t k = 1; k <= r - 1; ++k) add(out, kRole[k % 3], loadPt(buf, k));
        } else {
          add(out, JVM_LINE, loadPt(buf, 1));
          add(out, JVM_LINE, loadPt(buf, 2));
        }
        break;
      }
    }
  }
}

// Rebuilds the path from a copy of itself through the walk, with the room for the whole output
// reserved before the path is cleared. A walk that would write the path as it is, as flattening
// a path of straight lines does, leaves it alone and copies nothing.
template <typename Walk>
int32_t rebuild(JVect *path, Walk walk) {
  if (path == nullptr || path->count < 2) return 0;
  PointSink counter = PointSink::countingAgainst(path);
  walk(*path, counter);
  if (counter.repeatsModel()) return 1;
  // The walk reads only the points in use: duplicating the whole allocation instead made every
  // rebuild of a short path in a roomy array cost the array's size.
  JVect *copy = jVectOpen(path->count);
  if (copy == nullptr) return 0;
  std::memcpy(copy->points, path->points, static_cast<size_t>(path->count) * sizeof(JVectPoint));
  copy->count = path->count;
  const bool written =
      rewriteCounted(path, counter.count(), [&](PointSink &out) { walk(*copy, out); });
  jVectClose(copy);
  return written ? 1 : 0;
}

// Longest stretch that one fitted run can span: flattened points (and points marked for
// removal among them) plus the point before and the point after.
int64_t longestRun(const JVect &path) {
  int64_t longest = 0, stretch = 0;
  for (int32_t i = 0; i < path.count; ++i) {
    const int16_t mode = path.points[i].mode;
    stretch = mode == JVM_SVT || mode == JVM_NONE ? stretch + 1 : 0;
    longest = std::max(longest, stretch);
  }
  return longest + 2;
}

// The walk of the refit: tracks the run being collected and the last three points read.
class Refit {
 public:
  Refit(JVect *path, float *scratch) : path_(path), scratch_(scratch) {}

  void run() {
    int32_t i = 0;
    while (i < path_->count) {
      const JVectPoint &rec = path_->points[i];
      if (rec.mode == JVM_NONE) {
        ++i;
        continue;
      }
      see(i);
      if (rec.mode == JVM_START) {
        startRun(i);
        ++i;
      } else if (rec.mode == JVM_SVT) {
        if (measureSplits()) {
          i = fitFrom(ib_);
        } else {
          ++k_;
          ++i;
        }
      } else if (k_ >= 1) {
        i = fitFrom(i);
      } else {
        startRun(i);
        ++i;
      }
    }
  }

 private:
  void see(int32_t i) {
    pa_ = pb_;
    pb_ = pc_;
    ib_ = ic_;
    pc_ = pointOf(path_->points[i]);
    ic_ = i;
  }

  void startRun(int32_t s) {
    s_ = s;
    k_ = 0;
    bend_ = false;
    ease_ = false;
  }

  double sideAtPb() const {
    return jMathLR(static_cast<float>(pa_.x), static_cast<float>(pa_.y), static_cast<float>(pb_.x),
                   static_cast<float>(pb_.y), static_cast<float>(pc_.x), static_cast<float>(pc_.y));
  }
  double cosAtPb() const {
    return jMathCos(static_cast<float>(pa_.x), static_cast<float>(pa_.y), static_cast<float>(pb_.x),
                    static_cast<float>(pb_.y), static_cast<float>(pc_.x),
                    static_cast<float>(pc_.y));
  }

  // Splits a run where its turning sense changes after a bend, or where the turn grows again
  // after easing off: true when the run must end at the vertex Pb.
  bool measureSplits() {
    if (k_ == 1) {
      lrp_ = sideAtPb();
      cp_ = cosAtPb();
    } else if (k_ >= 2) {
      const double lr = sideAtPb(), c = cosAtPb();
      if (c > kBendCos) bend_ = true;
      if (bend_ && lrp_ * lr < 0.0) return true;
      if (ease_ && c > cp_) return true;
      if (c < cp_ && bend_) ease_ = true;
      lrp_ = lr;
      cp_ = c;
    }
    return false;
  }

  // Fits the run from its start to e, halving it while a cubic misses the tolerance; the next
  // run starts at the fitted end, and the walk goes on after it. Returns where to go on.
  int32_t fitFrom(int32_t e) {
    const int32_t s = s_;
    for (;;) {
      const int32_t m = e - s + 1;
      for (int32_t j = 0; j < m; ++j) storePt(scratch_, j, pointOf(path_->points[s + j]));
      const Pt mid = loadPt(scratch_, m / 2);
      const double tol =
          std::max(kMinTol, kTolFactor * (floatDistance(loadPt(scratch_, m - 1), mid) +
                                          floatDistance(loadPt(scratch_, 0), mid)));
      int32_t n = m;
      const double error = jMathLineToBezier(&n, scratch_);
      if (n == 4 && error > tol) {
        e = (s + e) / 2;
        continue;
      }
      for (int32_t j = s + 1; j < e; ++j) jVectInvalidPoint(path_, j);
      if (n == 2) {
        jVectSetMode(path_, e, JVM_LINE);
      } else if (n == 3) {
        setAt(s + 1, JVM_QUAD_CTRL, 1);
        jVectSetMode(path_, e, JVM_QUAD_END);
      } else {
        setAt(s + 1, JVM_BEZ_CTRL1, 1);
        setAt(s + 2, JVM_BEZ_CTRL2, 2);
        jVectSetMode(path_, e, JVM_BEZ_END);
      }
      break;
    }
    startRun(e);
    // The walk resumes after e as if e had just been read.
    pc_ = pointOf(path_->points[e]);
    ic_ = e;
    return e + 1;
  }

  void setAt(int32_t index, int16_t mode, int j) {
    jVectSetPoint(path_, index, mode, scratch_[2 * j], scratch_[2 * j + 1]);
  }

  JVect *path_;
  float *scratch_;
  Pt pa_{}, pb_{}, pc_{};
  int32_t ib_ = -1, ic_ = -1;
  int32_t s_ = 0, k_ = 0;
  bool bend_ = false, ease_ = false;
  double lrp_ = 0.0, cp_ = 0.0;
};

double lineDis(Pt a, Pt b, Pt p) {
  return jMathDis(static_cast<float>(a.x), static_cast<float>(a.y), static_cast<float>(b.x),
                  static_cast<float>(b.y), static_cast<float>(p.x), static_cast<float>(p.y));
}

// Tolerance of the straightening: a hundredth of the control polygon's length.
constexpr double kStraightFactor = 0.01;

// Whether a curve lies so near its chord that it can be a straight segment.
bool nearlyStraight(const Segment &seg) {
  if (seg.kind == SegKind::Quad)
    return lineDis(seg.from, seg.to, seg.q) <
           kStraightFactor * (floatDistance(seg.q, seg.to) + floatDistance(seg.from, seg.q));
  return seg.kind == SegKind::Cubic &&
         lineDis(seg.from, seg.to, seg.c2) + lineDis(seg.from, seg.to, seg.c1) <
             kStraightFactor * (floatDistance(seg.c1, seg.c2) + floatDistance(seg.from, seg.c1) +
                                floatDistance(seg.c2, seg.to));
}

bool tidyLines(JVect *path) {
  Pt pp{0.0, 0.0};
  int32_t last = -1;
  bool changed = false;
  SegmentWalker walker(path, 0, path->count - 1);
  for (Segment seg; walker.next(seg);) {
    const Pt p = seg.from, t = seg.to;
    if (seg.kind == SegKind::Line) {
      if (last == -1) {
        pp = p;
      } else if ((p.x == pp.x && t.x == p.x) || (p.y == pp.y && t.y == p.y)) {
        jVectInvalidPoint(path, last);
        changed = true;
      } else {
        pp = p;
      }
      last = seg.index;
      continue;
    }
    last = -1;
    if (nearlyStraight(seg)) {
      for (int32_t i = seg.previous + 1; i < seg.index; ++i) jVectInvalidPoint(path, i);
      jVectSetMode(path, seg.index, JVM_LINE);
      changed = true;
    }
  }
  return changed;
}

}  // namespace
}  // namespace outlina

using namespace outlina;

extern "C" {

int32_t jVectBezToSvt(JVect *path, int32_t flags) {
  return rebuild(path, [flags](const JVect &src, PointSink &out) { flattenWalk(src, flags, out); });
}

int32_t jVectArcToBez(JVect *path) { return rebuild(path, arcToBezWalk); }

int32_t jVectSvtToBez(JVect *path) {
  if (path == nullptr) return 0;
  const int64_t room = std::max(longestRun(*path), kFitMinRoom);
  auto *scratch = static_cast<float *>(jMemAlloc(static_cast<uint32_t>(room * 2 * sizeof(float))));
  if (scratch == nullptr) return 0;
  Refit(path, scratch).run();
  jVectSweepPoint(path);
  jVectDelNoise(path);
  jMemFree(scratch);
  return 1;
}

int32_t jVectGetLine(JVect *path) {
  if (path == nullptr) return 0;
  if (tidyLines(path)) jVectSweepPoint(path);
  return 1;
}

}  // extern "C"
