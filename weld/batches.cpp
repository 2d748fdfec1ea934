// Large paths worked in batches of contours that lie apart: a group of contours whose boxes stay
// clear of every other group's cannot change the others' windings, crossings, chains or slivers
// (rule 1 of the combine checks this batch by batch, see weldCombinesApart), so each batch needs
// work tables for itself alone, not for the whole drawing.
#include "weld/batches.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "frame/work_array.h"
#include "path/room.h"

namespace outlina {

int32_t weldBatchPoints = kWeldBatchPoints;

namespace {

// Groups whose boxes come this many float steps of the largest coordinate apart, or closer,
// stay in one batch: the combine's splitting strays 4 steps and its trace bridges 16, so at 64
// none of its stages can reach from one group into another.
constexpr double kApartSteps = 64.0;
// And never closer than this, the widest fixed margin of the probes and side tests.
constexpr double kLeastApart = 0x1p-20;
// The splitting sorts at most this many times the contour count before every range left is
// taken whole, so that a drawing that peels off one contour per cut stays near n log n.
constexpr int64_t kSortsPerContour = 32;
// A batch path's first size; it grows to the largest batch.
constexpr int32_t kFirstBatchRecords = 1024;

// One contour's records [first, end) and its box: low[0], low[1] the least x and y.
struct Span {
  int32_t first, end;
  float low[2], high[2];
};

// Contours order[from, to), to be cut at gaps along axis 0 (x) or 1 (y); otherTried once the
// first axis tried found no gap.
struct Range {
  int32_t from, to;
  int axis;
  bool otherTried;
};

class Batches {
 public:
  Batches(JVect *path, BatchWork work, void *context)
      : path_(path), work_(work), context_(context) {}

  // false when a record is not finite, which the combine refuses on the whole path, or when
  // records come before the first contour: the work then sees the path as it is.
  bool measure(double reach) {
    const JVectPoint *p = path_->points;
    if (p[0].mode != JVM_START) return false;
    double largest = 0.0;
    for (int32_t i = 0; i < path_->count; ++i) {
      if (!std::isfinite(p[i].x) || !std::isfinite(p[i].y)) return false;
      largest = std::max({largest, std::fabs(double{p[i].x}), std::fabs(double{p[i].y})});
      spanCount_ += p[i].mode == JVM_START ? 1 : 0;
    }
    const float big = static_cast<float>(largest);
    apart_ = std::max({kLeastApart, kApartSteps * (std::nextafter(big, INFINITY) - big), reach});
    return true;
  }

  // The contours' records and boxes; false when memory runs out.
  bool collect() {
    const int32_t count = spanCount_;
    if (!spans_.allocate(count) || !order_.allocate(count) || !moved_.allocate(count)) return false;
    const JVectPoint *p = path_->points;
    int32_t at = 0;
    for (int32_t i = 0; i < path_->count; ++i) {
      const float x = p[i].x, y = p[i].y;  // the records are packed
      if (p[i].mode == JVM_START) {
        if (at > 0) spans_[at - 1].end = i;
        spans_[at] = {i, i, {x, y}, {x, y}};
        order_[at] = at;
        ++at;
      } else {
        Span &s = spans_[at - 1];
        s.low[0] = std::min(s.low[0], x);
        s.low[1] = std::min(s.low[1], y);
        s.high[0] = std::max(s.high[0], x);
        s.high[1] = std::max(s.high[1], y);
      }
    }
    spans_[count - 1].end = path_->count;
    sortBudget_ = kSortsPerContour * count;
    return true;
  }

  // Cuts the contours into groups that lie apart and runs the work over batches of whole groups,
  // in the order of the cuts. The contours of batches that the work left as they were keep their
  // places; the other batches' results follow them in the order of the cuts.
  bool run() {
    int32_t top = 0;
    if (!push(top, {0, spanCount_, 0, false})) return false;
    while (top > 0) {
      const Range r = pending_[--top];
      const int64_t points = pointsIn(r.from, r.to);
      if (points <= weldBatchPoints || sortBudget_ <= 0) {
        if (!takeGroup(r.from, points)) return false;
        continue;
      }
      const int32_t pieces = cutAtGaps(r, top);
      if (pieces < 0) return false;
      if (pieces > 1) continue;
      if (r.otherTried) {
        if (!takeGroup(r.from, points)) return false;
      } else if (!push(top, {r.from, r.to, 1 - r.axis, true})) {
        return false;
      }
    }
    if (!runBatch(spanCount_)) return false;
    if (out_ == nullptr) return true;
    if (movedRecords_ == path_->count) {
      std::swap(path_->points, out_->points);
      std::swap(path_->capacity, out_->capacity);
      path_->count = out_->count;
      return true;
    }
    return settle();
  }

  ~Batches() {
    jVectClose(out_);
    jVectClose(batch_);
  }

 private:
  int64_t pointsIn(int32_t from, int32_t to) const {
    int64_t n = 0;
    for (int32_t i = from; i < to; ++i) n += spans_[order_[i]].end - spans_[order_[i]].first;
    return n;
  }

  // The stack of ranges grows as cuts need it: most drawings cut into few pieces at a time.
  bool push(int32_t &top, const Range &r) {
    if (!pending_.reserve(top + 1)) return false;
    pending_[top++] = r;
    return true;
  }

  // Sorts the range along its axis and pushes the pieces between gaps, the first on top; their
  // number, or -1 when memory runs out.
  int32_t cutAtGaps(const Range &r, int32_t &top) {
    const int a = r.axis;
    const Span *s = &spans_[0];
    std::sort(&order_[r.from], &order_[r.to], [s, a](int32_t i, int32_t j) {
      return s[i].low[a] != s[j].low[a] ? s[i].low[a] < s[j].low[a] : i < j;
    });
    sortBudget_ -= r.to - r.from;
    const int32_t base = top;
    double reach = s[order_[r.from]].high[a];
    int32_t start = r.from;
    for (int32_t i = r.from + 1; i < r.to; ++i) {
      const Span &next = s[order_[i]];
      if (double{next.low[a]} - reach > apart_) {
        if (!push(top, {start, i, 1 - a, false})) return -1;
        start = i;
      }
      reach = std::max(reach, double{next.high[a]});
    }
    if (top == base) return 1;
    if (!push(top, {start, r.to, 1 - a, false})) return -1;
    std::reverse(&pending_[base], &pending_[top]);
    return top - base;
  }

  // Adds the group from order[from] on to the batch, running the batch first when the group
  // would overfill it.
  bool takeGroup(int32_t from, int64_t points) {
    if (batchPoints_ > 0 && batchPoints_ + points > weldBatchPoints && !runBatch(from))
      return false;
    batchPoints_ += points;
    return true;
  }

  // Runs the work over order[batchFrom_, to) in the path's own order. A batch of every contour
  // is the path itself, worked in place as if there were no batches. A batch's result is kept
  // aside only when it differs from its contours: a drawing of many shapes that lie apart then
  // needs no second copy of itself.
  bool runBatch(int32_t to) {
    const int32_t from = batchFrom_;
    batchFrom_ = to;
    batchPoints_ = 0;
    if (from == to) return true;
    if (from == 0 && to == spanCount_) return work_(path_, context_);
    if (batch_ == nullptr && (batch_ = jVectOpen(kFirstBatchRecords)) == nullptr) return false;
    std::sort(&order_[from], &order_[to]);
    batch_->count = 0;
    for (int32_t i = from; i < to; ++i) {
      const Span &s = spans_[order_[i]];
      if (!reserveRecords(batch_, int64_t{batch_->count} + (s.end - s.first))) return false;
      std::memcpy(batch_->points + batch_->count, path_->points + s.first,
                  sizeof(JVectPoint) * static_cast<size_t>(s.end - s.first));
      batch_->count += s.end - s.first;
    }
    const int32_t taken = batch_->count;
    if (!work_(batch_, context_)) return false;
    if (leftAsTaken(from, to)) return true;
    if (out_ == nullptr && (out_ = jVectOpen(std::max(batch_->count, 1))) == nullptr) return false;
    if (!reserveRecords(out_, int64_t{out_->count} + batch_->count)) return false;
    std::memcpy(out_->points + out_->count, batch_->points,
                sizeof(JVectPoint) * static_cast<size_t>(batch_->count));
    out_->count += batch_->count;
    for (int32_t i = from; i < to; ++i) moved_[order_[i]] = true;
    movedRecords_ += taken;
    return true;
  }

  // Whether the batch now holds the records of the contours order[from, to) as the path does.
  bool leftAsTaken(int32_t from, int32_t to) const {
    int64_t at = 0;
    for (int32_t i = from; i < to; ++i) {
      const Span &s = spans_[order_[i]];
      const int32_t n = s.end - s.first;
      if (at + n > batch_->count || std::memcmp(batch_->points + at, path_->points + s.first,
                                                sizeof(JVectPoint) * static_cast<size_t>(n)) != 0)
        return false;
      at += n;
    }
    return at == batch_->count;
  }

  // Closes up the contours that stayed, in their order, and appends the batches' results after
  // them; the room is made first, so that a failure leaves the path as it was.
  bool settle() {
    if (!reserveRecords(path_, int64_t{path_->count} - movedRecords_ + out_->count)) return false;
    int32_t kept = 0;
    for (int32_t c = 0; c < spanCount_; ++c) {
      if (moved_[c]) continue;
      const Span &s = spans_[c];
      std::memmove(path_->points + kept, path_->points + s.first,
                   sizeof(JVectPoint) * static_cast<size_t>(s.end - s.first));
      kept += s.end - s.first;
    }
    std::memcpy(path_->points + kept, out_->points,
                sizeof(JVectPoint) * static_cast<size_t>(out_->count));
    path_->count = kept + out_->count;
    return true;
  }

  JVect *path_;
  BatchWork work_;
  void *context_;
  WorkArray<Span> spans_;
  WorkArray<int32_t> order_;
  WorkArray<bool> moved_;  // by contour: its batch's result went to out_
  WorkArray<Range> pending_;
  int32_t spanCount_ = 0;
  int64_t sortBudget_ = 0;
  double apart_ = 0.0;
  int32_t batchFrom_ = 0;
  int64_t batchPoints_ = 0;
  int64_t movedRecords_ = 0;  // the path's records of the contours in moved_
  JVect *batch_ = nullptr, *out_ = nullptr;
};

}  // namespace

bool weldInBatches(JVect *path, BatchWork work, void *context, double reach) {
  if (path->count <= weldBatchPoints) return work(path, context);
  Batches batches(path, work, context);
  if (!batches.measure(reach)) return work(path, context);
  return batches.collect() && batches.run();
}

}  // namespace outlina
