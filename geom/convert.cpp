#include <algorithm>
#include <cstdint>
#include <cstring>

#include "geom/pt.h"
#include "outlina/curve.h"
#include "outlina/fit.h"
#include "outlina/geom.h"
#include "path/curve_res.h"
#include "path/segments.h"
#include "plinth.h"

namespace outlina {
namespace {

// Arc-to-cubic conversion writes at most 13 points (an arc that reaches a full turn).
constexpr int kArcBezRoom = 13;
// Paths grow by this many records when an append finds them full.
constexpr int64_t kGrowthStep = 10000;
// A flattened run turns at a vertex by more than about 11.5 degrees when the cosine of the angle
// between its neighbours rises above this.
constexpr double kBendCos = -0.98;
// Fit tolerance: a hundredth of the run's two half-chords, but never below a tenth of a unit.
constexpr double kTolFactor = 0.01;
constexpr double kMinTol = 0.1;
// The curve fit writes up to four points into its array, however short the run.
constexpr int64_t kFitMinRoom = 4;

Pt pointOf(const JVectPoint &p) { return {p.x, p.y}; }

// Receives the points of a rebuild: either only counts them, or appends them to a path.
class Sink {
 public:
  explicit Sink(JVect *target) : target_(target) {}
  void add(int16_t mode, Pt p) {
    ++count_;
    if (target_ != nullptr)
      jVectAddPoint(target_, JVECT_LAST, mode, static_cast<float>(p.x), static_cast<float>(p.y));
  }
  void tagLast(uint32_t tag) {
    if (target_ != nullptr) jVectSetTag(target_, JVECT_LAST, tag);
  }
  int64_t count() const { return count_; }

 private:
  JVect *target_;
  int64_t count_ = 0;
};

void flattenWalk(const JVect &src, int32_t flags, Sink &out) {
  const bool splitLines = (flags & 1) != 0;
  const bool flattenCurves = (flags & 2) != 0;
  const int32_t divisions = curveDivisions();
  const float angle = curveAngle();
  float buf[2 * kFlattenRoom];
  Pt prev{0.0, 0.0}, r1{0.0, 0.0}, r2{0.0, 0.0};
  for (int32_t i = 0; i < src.count; ++i) {
    const JVectPoint &rec = src.points[i];
    const Pt p = pointOf(rec);
    switch (rec.mode) {
      case JVM_START:
        out.add(JVM_START, p);
        out.tagLast(rec.tag);
        prev = p;
        break;
      case JVM_SVT:
      case JVM_SVT_END:
      case JVM_SVT_END_ALT:
        out.add(rec.mode, p);
        prev = p;
        break;
      case JVM_LINE:
      case JVM_LINE_ALT:
        if (splitLines) {
          for (int32_t k = 1; k < divisions; ++k) {
            const double t = static_cast<double>(k) / divisions;
            out.add(JVM_SVT, t * p + (1.0 - t) * prev);
          }
          out.add(JVM_SVT_END, p);
        } else {
          out.add(JVM_LINE, p);
        }
        prev = p;
        break;
      case JVM_ARC_MID:
      case JVM_BEZ_CTRL1:
        r1 = p;
        break;
      case JVM_BEZ_CTRL2:
        r2 = p;
        break;
      case JVM_QUAD_CTRL:
        r2 = p;
        r1 = 0.5 * (prev + p);
        break;
      case JVM_ARC_END:
        if (flattenCurves) {
          storePt(buf, 0, prev);
          storePt(buf, 1, r1);
          storePt(buf, 2, p);
          const int32_t r = jMathArcToLine(buf, angle);
          for (int32_t k = 1; k <= r - 2; ++k) out.add(JVM_SVT, loadPt(buf, k));
          out.add(JVM_SVT_END, loadPt(buf, r - 1));
        } else {
          out.add(JVM_ARC_MID, r1);
          out.add(JVM_ARC_END, p);
        }
        prev = p;
        break;
      case JVM_QUAD_END:
      case JVM_QUAD_END_ALT:
      case JVM_BEZ_END:
      case JVM_BEZ_END_ALT:
        if (rec.mode == JVM_QUAD_END || rec.mode == JVM_QUAD_END_ALT) r2 = 0.5 * (r2 + p);
        if (flattenCurves) {
          storePt(buf, 0, prev);
          storePt(buf, 1, r1);
          storePt(buf, 2, r2);
          storePt(buf, 3, p);
          const int32_t r = jMathBezToLine(buf, divisions);
          for (int32_t k = 1; k <= r - 2; ++k) out.add(JVM_SVT, loadPt(buf, k));
          out.add(JVM_SVT_END, p);
        } else {
          out.add(JVM_BEZ_CTRL1, r1);
          out.add(JVM_BEZ_CTRL2, r2);
          out.add(JVM_BEZ_END, p);
        }
        prev = p;
        break;
      default:
        break;
    }
  }
}

void arcToBezWalk(const JVect &src, Sink &out) {
  float buf[2 * kArcBezRoom];
  Pt prev{0.0, 0.0}, mid{0.0, 0.0};
  for (int32_t i = 0; i < src.count; ++i) {
    const JVectPoint &rec = src.points[i];
    const Pt p = pointOf(rec);
    switch (rec.mode) {
      case JVM_START:
      case JVM_LINE:
      case JVM_LINE_ALT:
      case JVM_SVT:
      case JVM_SVT_END:
      case JVM_SVT_END_ALT:
      case JVM_QUAD_CTRL:
      case JVM_QUAD_END:
      case JVM_QUAD_END_ALT:
      case JVM_BEZ_CTRL1:
      case JVM_BEZ_CTRL2:
      case JVM_BEZ_END:
      case JVM_BEZ_END_ALT:
        out.add(rec.mode, p);
        if (rec.mode == JVM_START) out.tagLast(rec.tag);
        prev = p;
        mid = p;
        break;
      case JVM_ARC_MID:
        mid = p;
        break;
      case JVM_ARC_END: {
        storePt(buf, 0, prev);
        storePt(buf, 1, mid);
        storePt(buf, 2, p);
        const int32_t r = jMathArcToBez(buf);
        if (r >= 4) {
          static constexpr int16_t kRole[3] = {JVM_BEZ_END, JVM_BEZ_CTRL1, JVM_BEZ_CTRL2};
          for (int32_t k = 1; k <= r - 1; ++k) out.add(kRole[k % 3], loadPt(buf, k));
        } else {
          out.add(JVM_LINE, loadPt(buf, 1));
          out.add(JVM_LINE, loadPt(buf, 2));
        }
        prev = p;
        break;
      }
      default:
        break;
    }
  }
}

// Rebuilds the path from a copy of itself through the walk. The output is counted first and the
// path grown once, in the same 10000-record steps that appending point by point would take, so
// that a long flattening neither copies the array at every step nor fails half-way.
template <typename Walk>
int32_t rebuild(JVect *path, Walk walk) {
  if (path == nullptr || path->count < 2) return 0;
  Sink counter(nullptr);
  walk(*path, counter);
  const int64_t shortfall = counter.count() - path->capacity;
  const int64_t extra = shortfall > 0 ? (shortfall + kGrowthStep - 1) / kGrowthStep * kGrowthStep : 0;
  if (extra > INT32_MAX) return 0;
  // The walk reads only the points in use: copying the whole allocation instead made every
  // rebuild of a short path in a roomy array cost the array's size.
  JVect *copy = jVectOpen(path->count);
  if (copy == nullptr) return 0;
  std::memcpy(copy->points, path->points, static_cast<size_t>(path->count) * sizeof(JVectPoint));
  copy->count = path->count;
  if (extra > 0 && jVectExpand(path, static_cast<int32_t>(extra)) == 0) {
    jVectClose(copy);
    return 0;
  }
  for (int32_t i = 0; i < copy->count; ++i) path->points[i] = JVectPoint{};
  path->count = 0;
  Sink appender(path);
  walk(*copy, appender);
  jVectClose(copy);
  return 1;
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
    return jMathCos(static_cast<float>(pa_.x), static_cast<float>(pa_.y),
                    static_cast<float>(pb_.x), static_cast<float>(pb_.y),
                    static_cast<float>(pc_.x), static_cast<float>(pc_.y));
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

bool isLinePoint(int16_t mode) {
  return mode == JVM_LINE || mode == JVM_LINE_ALT || mode == JVM_SVT || mode == JVM_SVT_END ||
         mode == JVM_SVT_END_ALT;
}

bool hasMode(const JVect &path, int32_t index, int16_t mode) {
  return index >= 0 && path.points[index].mode == mode;
}

double lineDis(Pt a, Pt b, Pt p) {
  return jMathDis(static_cast<float>(a.x), static_cast<float>(a.y), static_cast<float>(b.x),
                  static_cast<float>(b.y), static_cast<float>(p.x), static_cast<float>(p.y));
}

// Tolerance of the straightening: a hundredth of the control polygon's length.
constexpr double kStraightFactor = 0.01;

bool tidyLines(JVect *path) {
  Pt p{0.0, 0.0}, pp{0.0, 0.0}, r1{0.0, 0.0}, r2{0.0, 0.0};
  int32_t last = -1;
  bool changed = false;
  for (int32_t i = 0; i < path->count; ++i) {
    const int16_t mode = path->points[i].mode;
    const Pt t = pointOf(path->points[i]);
    if (mode == JVM_START) {
      p = t;
      last = -1;
    } else if (isLinePoint(mode)) {
      if (last == -1) {
        pp = p;
      } else if ((p.x == pp.x && t.x == p.x) || (p.y == pp.y && t.y == p.y)) {
        jVectInvalidPoint(path, last);
        changed = true;
      } else {
        pp = p;
      }
      p = t;
      last = i;
    } else if (mode == JVM_QUAD_CTRL || mode == JVM_BEZ_CTRL1) {
      r1 = t;
      last = -1;
    } else if (mode == JVM_BEZ_CTRL2) {
      r2 = t;
      last = -1;
    } else if (mode == JVM_QUAD_END || mode == JVM_QUAD_END_ALT) {
      // Only a curve whose control point is really in place is straightened.
      const double tol = kStraightFactor * (floatDistance(r1, t) + floatDistance(p, r1));
      if (hasMode(*path, i - 1, JVM_QUAD_CTRL) && lineDis(p, t, r1) < tol) {
        jVectInvalidPoint(path, i - 1);
        jVectSetMode(path, i, JVM_LINE);
        changed = true;
      }
      p = t;
      last = -1;
    } else if (mode == JVM_BEZ_END || mode == JVM_BEZ_END_ALT) {
      const double tol =
          kStraightFactor * (floatDistance(r1, r2) + floatDistance(p, r1) + floatDistance(r2, t));
      if (hasMode(*path, i - 2, JVM_BEZ_CTRL1) && hasMode(*path, i - 1, JVM_BEZ_CTRL2) &&
          lineDis(p, t, r2) + lineDis(p, t, r1) < tol) {
        jVectInvalidPoint(path, i - 2);
        jVectInvalidPoint(path, i - 1);
        jVectSetMode(path, i, JVM_LINE);
        changed = true;
      }
      p = t;
      last = -1;
    }
  }
  return changed;
}

}  // namespace
}  // namespace outlina

using namespace outlina;

extern "C" {

int32_t jVectBezToSvt(JVect *path, int32_t flags) {
  return rebuild(path, [flags](const JVect &src, Sink &out) { flattenWalk(src, flags, out); });
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
