#include <cmath>
#include <cstdint>
#include <cstring>

#include "frame/work_array.h"
#include "outlina/curve.h"
#include "geom/constants.h"
#include "path/bounds.h"
#include "path/offset_path.h"
#include "path/room.h"
#include "plinth.h"

namespace outlina {
namespace {


// A point that lies farther outside a contour's box than a millionth of the box's reach across
// sees the whole contour within less than half a turn, so its winding sum stays far from a
// full turn: the containment test can be skipped without changing its answer.
constexpr double kClearance = 1e-6;

bool isVariant(int16_t m) {
  return m == JVM_LINE_ALT || m == JVM_SVT_END_ALT || m == JVM_QUAD_END_ALT || m == JVM_BEZ_END_ALT;
}

bool isEnd(int16_t m) {
  return m == JVM_START || m == JVM_LINE || m == JVM_SVT_END || m == JVM_ARC_END ||
         m == JVM_QUAD_END || m == JVM_BEZ_END;
}

// The new mode of a point whose new predecessor held mode p, when a contour is read backwards.
// With no predecessor (p = 0) a reversed contour begins here, a forward-and-back loop goes on.
int16_t recode(int16_t m, int16_t p, bool continues) {
  if (m == JVM_BEZ_CTRL1) return JVM_BEZ_CTRL2;
  if (m == JVM_BEZ_CTRL2) return JVM_BEZ_CTRL1;
  if (isEnd(m)) {
    switch (p) {
      case JVM_ARC_MID:
        return JVM_ARC_END;
      case JVM_QUAD_CTRL:
        return JVM_QUAD_END;
      case JVM_BEZ_CTRL1:
        return JVM_BEZ_END;
      case JVM_SVT:
        return JVM_SVT_END;
      case JVM_NONE:
        return continues ? JVM_LINE : JVM_START;
      default:
        return JVM_LINE;
    }
  }
  if (isVariant(m)) {
    switch (p) {
      case JVM_QUAD_CTRL:
        return JVM_QUAD_END_ALT;
      case JVM_BEZ_CTRL1:
        return JVM_BEZ_END_ALT;
      case JVM_SVT:
        return JVM_SVT_END_ALT;
      case JVM_NONE:
        return continues ? JVM_LINE_ALT : JVM_START;
      default:
        return JVM_LINE_ALT;
    }
  }
  return m;
}

void reverseContour(JVectPoint *points, int32_t first, int32_t last) {
  // Whole records are copied: the packed fields cannot be bound by reference. Tags stay put.
  for (int32_t lo = first, hi = last; lo < hi; ++lo, --hi) {
    const JVectPoint low = points[lo], high = points[hi];
    points[lo] = {high.mode, high.x, high.y, low.tag};
    points[hi] = {low.mode, low.x, low.y, high.tag};
  }
  int16_t previous = JVM_NONE;
  for (int32_t i = first; i <= last; ++i) {
    const int16_t m = points[i].mode;
    points[i].mode = recode(m, previous, false);
    previous = m;
  }
}

struct ContourEntry {
  uint32_t first;
  uint32_t last;
  uint16_t depth;  // kept mod 65536: only its parity is used
  uint16_t direction;
  float box[4];
};

// A contour's box widened by the clearance: a point outside it is clearly outside the contour.
struct ClearBox {
  double lowX, lowY, highX, highY;
};

// Fills each entry's box and its clear box. Every tested point is a start point and so lies in
// the box of all contours, whose size bounds each contour's reach as seen from it. A non-finite
// box makes every clear box unbounded, so that every pair is tested.
void measureBoxes(const JVect *path, ContourEntry *table, ClearBox *clear, int32_t count) {
  double all[4] = {INFINITY, INFINITY, -INFINITY, -INFINITY};
  bool finite = true;
  for (int32_t i = 0; i < count; ++i) {
    float *box = table[i].box;
    judgeBox(path, static_cast<int32_t>(table[i].first), static_cast<int32_t>(table[i].last), box);
    for (int32_t k = 0; k < 4; ++k) finite = finite && std::isfinite(box[k]);
    all[0] = std::fmin(all[0], box[0]);
    all[1] = std::fmin(all[1], box[1]);
    all[2] = std::fmax(all[2], box[2]);
    all[3] = std::fmax(all[3], box[3]);
  }
  const double marginX = finite ? (all[3] - all[1]) * kClearance : INFINITY;
  const double marginY = finite ? (all[2] - all[0]) * kClearance : INFINITY;
  for (int32_t i = 0; i < count; ++i) {
    const float *box = table[i].box;
    clear[i] = {box[0] - marginX, box[1] - marginY, box[2] + marginX, box[3] + marginY};
  }
}

// A contour whose box is one point has only pieces of no length, which add no turn: no point
// lies inside it, so it need not be met by any query (many of them at one spot would otherwise
// all share one cell).
bool enclosesNothing(const ContourEntry &e) { return e.box[0] == e.box[2] && e.box[1] == e.box[3]; }

// The clear boxes by the cells of a grid over them all, so that a point meets only the boxes of
// its own cell instead of every contour's. A box spread over too many cells, or any box when
// one is not finite, goes to a list that every query scans. Contours that enclose nothing are
// left out.
class ClearGrid {
 public:
  bool build(const ContourEntry *table, const ClearBox *clear, int32_t count) {
    double lowX = INFINITY, lowY = INFINITY, highX = -INFINITY, highY = -INFINITY;
    for (int32_t i = 0; i < count; ++i) {
      if (enclosesNothing(table[i])) continue;
      lowX = std::fmin(lowX, clear[i].lowX);
      lowY = std::fmin(lowY, clear[i].lowY);
      highX = std::fmax(highX, clear[i].highX);
      highY = std::fmax(highY, clear[i].highY);
    }
    const bool finite =
        std::isfinite(lowX) && std::isfinite(lowY) && std::isfinite(highX) && std::isfinite(highY);
    // About one cell per contour keeps both the cells and the boxes met per query few.
    side_ = finite ? static_cast<int32_t>(std::ceil(std::sqrt(static_cast<double>(count)))) : 1;
    lowX_ = finite ? lowX : 0.0;
    lowY_ = finite ? lowY : 0.0;
    cellX_ = finite && highX > lowX ? (highX - lowX) / side_ : 1.0;
    cellY_ = finite && highY > lowY ? (highY - lowY) / side_ : 1.0;
    const int64_t cells = int64_t{side_} * side_;
    if (!start_.allocate(cells + 1) || !fill_.allocate(cells) || !wide_.allocate(count))
      return false;
    int64_t stored = 0;
    for (int32_t i = 0; i < count; ++i) {
      Span s;
      if (enclosesNothing(table[i]) || !finite || !spanOf(clear[i], s)) continue;
      forCells(s, [&](int64_t cell) { ++start_[cell + 1]; });
      stored += s.area();
    }
    for (int64_t c = 0; c < cells; ++c) start_[c + 1] += start_[c];
    if (!entries_.allocate(stored)) return false;
    for (int32_t i = 0; i < count; ++i) {
      Span s;
      if (enclosesNothing(table[i])) continue;
      if (!finite || !spanOf(clear[i], s)) {
        wide_[wideCount_++] = i;
        continue;
      }
      forCells(s, [&](int64_t cell) { entries_[start_[cell] + fill_[cell]++] = i; });
    }
    return true;
  }

  // Visits every contour whose clear box may hold (x, y), and possibly others.
  template <class Visit>
  void query(double x, double y, Visit visit) {
    const int64_t cell = cellOf(y, lowY_, cellY_) * side_ + cellOf(x, lowX_, cellX_);
    for (int64_t e = start_[cell]; e < start_[cell + 1]; ++e) visit(entries_[e]);
    for (int32_t k = 0; k < wideCount_; ++k) visit(wide_[k]);
  }

 private:
  static constexpr int64_t kMaxCellsPerBox = 16;
  struct Span {
    int64_t x0, y0, x1, y1;
    int64_t area() const { return (x1 - x0 + 1) * (y1 - y0 + 1); }
  };
  int64_t cellOf(double v, double low, double cell) const {
    const double c = std::floor((v - low) / cell);
    // A NaN coordinate (written as "not at or above zero") falls into the first cell.
    return !(c >= 0.0) ? 0 : c >= side_ ? side_ - 1 : static_cast<int64_t>(c);
  }
  bool spanOf(const ClearBox &b, Span &s) const {
    s = {cellOf(b.lowX, lowX_, cellX_), cellOf(b.lowY, lowY_, cellY_),
         cellOf(b.highX, lowX_, cellX_), cellOf(b.highY, lowY_, cellY_)};
    return s.area() <= kMaxCellsPerBox;
  }
  template <class Fn>
  void forCells(const Span &s, Fn fn) const {
    for (int64_t y = s.y0; y <= s.y1; ++y)
      for (int64_t x = s.x0; x <= s.x1; ++x) fn(y * side_ + x);
  }

  int32_t side_ = 1;
  double lowX_ = 0.0, lowY_ = 0.0, cellX_ = 1.0, cellY_ = 1.0;
  WorkArray<int64_t> start_;
  WorkArray<int32_t> fill_;
  WorkArray<int32_t> entries_;
  WorkArray<int32_t> wide_;
  int32_t wideCount_ = 0;
};

bool clearlyOutside(const ClearBox &b, double x, double y) {
  return x < b.lowX || x > b.highX || y < b.lowY || y > b.highY;
}

bool keeps(int32_t rule, uint16_t depth, uint16_t direction) {
  const bool even = depth % 2 == 0;
  if (rule == JVLR_OUTER_NEGATIVE) return (even && direction == 1) || (!even && direction == 2);
  if (rule == JVLR_OUTER_POSITIVE) return (even && direction == 2) || (!even && direction == 1);
  return false;
}

}  // namespace

int64_t reverseLoopRecords(const JVect *path) {
  int64_t records = 0;
  for (int32_t first = 0; first < path->count;) {
    const int32_t last = jVectGetEndPos(path, first);
    records += 2 * (last - first) + 1;
    first = last + 1;
  }
  return records;
}

}  // namespace outlina

using namespace outlina;

extern "C" {

int32_t jVectReverse(JVect *path, int32_t index) {
  if (path == nullptr) return 0;
  if (index == JVECT_ALL) {
    for (int32_t first = 0; first < path->count;) {
      const int32_t last = jVectGetEndPos(path, first);
      reverseContour(path->points, first, last);
      first = last + 1;
    }
    return 1;
  }
  int32_t first, last;
  if (!contourRange(path, index, first, last)) return 0;
  reverseContour(path->points, first, last);
  return 1;
}

int32_t jVectMakeReverseLoop(JVect *path) {
  if (path == nullptr || path->count < 2) return 0;
  const int32_t count = path->count;
  const int64_t total = reverseLoopRecords(path);
  if (!reserveRecords(path, total)) return 0;
  // Each loop is written over its own points from the last contour back to the first: a loop
  // lands at or after its contour's first point and before the next loop, so it overwrites
  // nothing that is still to be read.
  JVectPoint *v = path->points;
  int64_t end = total;
  for (int32_t last = count - 1; last >= 0;) {
    int32_t first = last;
    while (first > 0 && v[first].mode != JVM_START) --first;
    const int32_t n = last - first + 1;
    if (n == 2 && v[first].x == v[last].x && v[first].y == v[last].y)
      v[last].x = static_cast<float>(v[last].x + kNudge);  // so that the loop has a direction
    const int64_t at = end - (2 * n - 1);
    int16_t previous = JVM_NONE;
    for (int32_t i = last - 1, to = static_cast<int32_t>(at) + n; i >= first; --i, ++to) {
      v[to] = {recode(v[i].mode, previous, true), v[i].x, v[i].y, 0};
      previous = v[i].mode;
    }
    std::memmove(v + at, v + first, static_cast<size_t>(n) * sizeof(JVectPoint));
    for (int64_t k = at + 1; k < at + n; ++k) v[k].tag = 0;
    if (n == 2) v[at + 1].tag = kTurnBackTag;
    end = at;
    last = first - 1;
  }
  path->count = static_cast<int32_t>(total);
  return 1;
}

int32_t jVectSetLoopDir(JVect *path, int32_t rule) {
  if (path == nullptr || path->count < 3) return 0;
  int32_t count = 0;
  for (int32_t i = 0; i < path->count; ++i) count += path->points[i].mode == JVM_START ? 1 : 0;
  WorkArray<ContourEntry> table;
  WorkArray<ClearBox> clear;
  ClearGrid grid;
  if (!table.allocate(count) || !clear.allocate(count)) return 0;
  for (int32_t i = 0, k = 0; i < path->count; ++i)
    if (path->points[i].mode == JVM_START) table[k++].first = static_cast<uint32_t>(i);
  for (int32_t i = 0; i < count; ++i)
    table[i].last =
        static_cast<uint32_t>(jVectGetEndPos(path, static_cast<int32_t>(table[i].first)));
  measureBoxes(path, &table[0], &clear[0], count);
  if (!grid.build(&table[0], &clear[0], count)) return 0;

  // Every direction and depth is found before any contour is reversed.
  for (int32_t i = 0; i < count; ++i) {
    ContourEntry &e = table[i];
    const JVectPoint &s = path->points[e.first];
    e.direction = static_cast<uint16_t>(
        loopDirection(path, static_cast<int32_t>(e.first), static_cast<int32_t>(e.last), e.box));
    grid.query(s.x, s.y, [&](int32_t j) {
      if (j == i || clearlyOutside(clear[j], s.x, s.y)) return;
      const int32_t code = windingCode(path, static_cast<int32_t>(table[j].first),
                                       static_cast<int32_t>(table[j].last), s.x, s.y);
      if (code == 1 || code == 2) ++e.depth;
    });
  }
  for (int32_t i = 0; i < count; ++i)
    if (!keeps(rule, table[i].depth, table[i].direction))
      reverseContour(path->points, static_cast<int32_t>(table[i].first),
                     static_cast<int32_t>(table[i].last));
  return 1;
}

}  // extern "C"
