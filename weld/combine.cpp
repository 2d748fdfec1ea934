#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "frame/work_array.h"
#include "outlina/curve.h"
#include "outlina/fit.h"
#include "outlina/geom.h"
#include "outlina/weld.h"
#include "path/segments.h"
#include "plinth.h"
#include "weld/batches.h"
#include "weld/combine_stages.h"

namespace outlina {

static_assert(sizeof(JWeldContour) == 24 && sizeof(JWeldSegment) == 22 &&
                  sizeof(JWeldCrossing) == 22,
              "work records are packed");

WeldTables weldTables = {};

namespace {

// Flags of pieces cut from a segment: live with both ends corners, or one end only.
constexpr int16_t kPieceBothCorners = JWS_LIVE | JWS_START_CORNER | JWS_END_CORNER;
constexpr int16_t kPieceEndCorner = JWS_LIVE | JWS_END_CORNER;
constexpr int16_t kPieceStartCorner = JWS_LIVE | JWS_START_CORNER;
// A contour's first segment starts at a corner.
constexpr int16_t kContourStartBits = JWS_LIVE | JWS_START_CORNER;

// A horizontal probe line counts an upward crossing +1; a vertical one counts a rightward
// crossing -1, so that both give +1 inside a contour of direction 1.
constexpr int kHorizontalSign = 1;
constexpr int kVerticalSign = -1;
// Pi as a float: negative inclinations are folded into 0..pi with the float value.
constexpr double kFloatPi = 3.1415927410125732;

// A segment box covering more grid cells or buckets than this is checked against every
// query instead of being stored in each cell.
constexpr int64_t kMaxCellsPerBox = 64;
// A query box covering more cells than this visits every member instead; below it, walking
// the cells of a long edge still costs far less than meeting every segment of a long text.
constexpr int64_t kMaxCellsPerQuery = 4096;
// Moves per crossing an insertion sort may spend before a line's crossings get a full sort.
constexpr int64_t kInsertionMovesPerKey = 8;
// Relative margin of the side test that passes over long segments far from a query box.
constexpr double kSideMargin = 1e-9;

// Whether the boxes of two contours meet, or come within reach of each other.
bool contoursOverlap(const JWeldContour &a, const JWeldContour &b, double reach = 0.0) {
  return a.minX <= b.maxX + reach && b.minX <= a.maxX + reach && a.minY <= b.maxY + reach &&
         b.minY <= a.maxY + reach;
}

struct Box {
  double minX, minY, maxX, maxY;
};

Box grown(const Box &b, double by) { return {b.minX - by, b.minY - by, b.maxX + by, b.maxY + by}; }

// The whole part of x, kept within 0 to top (0 for NaN). Truncating a non-negative value gives
// its floor without a call to std::floor, which costs more than the rest of a cell lookup.
int64_t clampedFloor(double x, int64_t top) {
  if (!(x >= 0.0)) return 0;
  return x >= static_cast<double>(top) ? top : static_cast<int64_t>(x);
}

Box boxOf(const JWeldSegment &s) {
  const double x0 = s.x0, y0 = s.y0, x1 = s.x1, y1 = s.y1;  // copies: the record is packed
  return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

// The segment box test of the crossing search: s reaches t's box, grown by reach, on both axes.
// s's box is worked out once for the many t that one segment meets.
class BoxReach {
 public:
  explicit BoxReach(const JWeldSegment &s) : own_(boxOf(s)) {}
  bool meets(const JWeldSegment &t, double reach = 0.0) const {
    const Box b = grown(boxOf(t), reach);
    return own_.maxX >= b.minX && own_.minX <= b.maxX && own_.maxY >= b.minY && own_.minY <= b.maxY;
  }

 private:
  Box own_;
};

// Contour holding a base segment; contours cover the base segments in order without gaps.
int32_t contourOfSegment(int32_t segment) {
  const JWeldContour *begin = weldTables.contours;
  const JWeldContour *end = begin + weldTables.contourCount;
  const JWeldContour *c = std::upper_bound(
      begin, end, segment, [](int32_t s, const JWeldContour &k) { return s < k.first; });
  return static_cast<int32_t>(c - begin) - 1;
}

// Spreads every input bit over the whole word: coordinates and cell numbers differ mostly in
// a few bits, and the tables below index by the low bits.
uint64_t mix64(uint64_t z) {
  z += 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// Folds one more word into a hash: an odd multiplier loses no bits, and one mix at the end
// spreads them all.
constexpr uint64_t kFoldMultiplier = 0x9E3779B97F4A7C15ull;

// Chains of segment indexes, ascending, that share an exact key of K floats (compared as
// floats, so -0 and +0 are one key). Open addressing over the chain heads.
template <int K, class KeyOf>
class ExactIndex {
 public:
  using Key = std::array<float, K>;
  explicit ExactIndex(KeyOf keyOf) : keyOf_(keyOf) {}

  template <class Include>
  bool build(int32_t limit, Include include) {
    int64_t members = 0;
    for (int32_t i = 0; i < limit; ++i) members += include(i) ? 1 : 0;
    int64_t size = 16;
    while (size < 2 * members) size *= 2;
    mask_ = static_cast<uint64_t>(size - 1);
    if (!heads_.allocate(size) || !next_.allocate(limit)) return false;
    for (int64_t s = 0; s < size; ++s) heads_[s] = -1;
    for (int32_t i = limit - 1; i >= 0; --i) {
      if (!include(i)) continue;
      const uint64_t slot = find(keyOf_(i));
      next_[i] = heads_[slot];
      heads_[slot] = i;
    }
    return true;
  }
  int32_t first(const Key &key) { return heads_[find(key)]; }
  int32_t next(int32_t i) { return next_[i]; }

 private:
  uint64_t find(const Key &key) {
    uint64_t h = 0;
    for (float f : key) {
      const float normalised = f + 0.0f;  // -0 and +0 hash alike
      uint32_t bits;
      std::memcpy(&bits, &normalised, sizeof bits);
      h = (h ^ bits) * kFoldMultiplier;
    }
    h = mix64(h);
    for (uint64_t slot = h & mask_;; slot = (slot + 1) & mask_) {
      const int32_t head = heads_[slot];
      if (head < 0 || keyOf_(head) == key) return slot;
    }
  }

  KeyOf keyOf_;
  uint64_t mask_ = 0;
  WorkArray<int32_t> heads_;
  WorkArray<int32_t> next_;
};

template <int K, class KeyOf>
ExactIndex<K, KeyOf> makeExactIndex(KeyOf keyOf) {
  return ExactIndex<K, KeyOf>(keyOf);
}

// Whether segment s may pass through box b: false only when the box lies clearly on one side
// of s's line. A long slanted segment spans a box that holds most of the work, yet passes few
// of the small boxes that query it.
bool mayMeet(const JWeldSegment &s, const Box &b) {
  const Box own = boxOf(s);
  if (own.maxX < b.minX || b.maxX < own.minX || own.maxY < b.minY || b.maxY < own.minY)
    return false;
  const double dx = double{s.x1} - s.x0, dy = double{s.y1} - s.y0;
  // A margin of many rounding steps keeps every real crossing among the candidates.
  const double margin = kSideMargin * (std::fabs(dx) + std::fabs(dy)) *
                        (std::fabs(b.minX) + std::fabs(b.maxX) + std::fabs(b.minY) +
                         std::fabs(b.maxY) + b.maxX - b.minX + b.maxY - b.minY + 1.0);
  int32_t above = 0, below = 0;
  for (const double x : {b.minX, b.maxX})
    for (const double y : {b.minY, b.maxY}) {
      const double side = (x - s.x0) * dy - (y - s.y0) * dx;
      above += side > margin;
      below += side < -margin;
    }
  return above < 4 && below < 4;
}

// Members of a list of segment boxes, stored by the grid cells their boxes cover; only the
// occupied cells are kept, in a hash table. Boxes that share a point share a cell because the
// cell of a coordinate never decreases with it.
class BoxGrid {
 public:
  // Cells hold every member that passes within stray of them, and queries look as far around.
  bool build(const int32_t *members, int32_t count, double stray) {
    const JWeldSegment *seg = weldTables.segments;
    stray_ = stray;
    Box all = {INFINITY, INFINITY, -INFINITY, -INFINITY};
    double extent = 0.0;
    for (int32_t k = 0; k < count; ++k) {
      const Box b = boxOf(seg[members[k]]);
      all = {std::min(all.minX, b.minX), std::min(all.minY, b.minY), std::max(all.maxX, b.maxX),
             std::max(all.maxY, b.maxY)};
      extent += std::max(b.maxX - b.minX, b.maxY - b.minY);
    }
    originX_ = count > 0 ? all.minX : 0.0;
    originY_ = count > 0 ? all.minY : 0.0;
    const double side = count > 0 ? std::max(all.maxX - all.minX, all.maxY - all.minY) : 0.0;
    // Cells twice a typical segment put most boxes into one to four cells. Boxes are looked at
    // grown by the stray on every side, so that is never more than a quarter cell: points and
    // tiny segments would otherwise make cells so small that a grown box spans thousands.
    cell_ = std::max(
        {2.0 * extent / std::max(count, 1), side / kMaxCellsPerSide, kStraysPerCell * stray_});
    if (!(cell_ > 0.0)) cell_ = 1.0;
    // An empty grid is one cell: the box of nothing spans minus infinity.
    const double across = count > 0 ? std::floor((all.maxX - originX_) / cell_) + 1.0 : 1.0;
    const double down = count > 0 ? std::floor((all.maxY - originY_) / cell_) + 1.0 : 1.0;
    lastX_ = static_cast<int64_t>(std::min(across, kMaxCellsPerSide + 1.0)) - 1;
    lastY_ = static_cast<int64_t>(std::min(down, kMaxCellsPerSide + 1.0)) - 1;
    int64_t stored = 0;
    for (int32_t k = 0; k < count; ++k)
      forSegmentCells(seg[members[k]], [&](uint64_t) { ++stored; });
    // A plain array of cells when it stays small keeps neighbouring cells together in memory;
    // otherwise only the occupied cells are kept, in a hash table.
    int64_t size = 16;
    if (count > 0 && across * down <= 4.0 * static_cast<double>(stored) + 64.0) {
      sideX_ = static_cast<int64_t>(across);
      size = sideX_ * static_cast<int64_t>(down);
    } else {
      while (size < 2 * stored) size *= 2;
      mask_ = static_cast<uint64_t>(size - 1);
    }
    if ((sideX_ == 0 && !keys_.allocate(size)) || !start_.allocate(size + 1) ||
        !fill_.allocate(size) || !entries_.allocate(stored))
      return false;
    if (sideX_ == 0)
      for (int64_t slot = 0; slot < size; ++slot) keys_[slot] = kEmpty;
    for (int32_t k = 0; k < count; ++k)
      forSegmentCells(seg[members[k]], [&](uint64_t key) { ++start_[claim(key) + 1]; });
    for (int64_t slot = 0; slot < size; ++slot) start_[slot + 1] += start_[slot];
    for (int32_t k = 0; k < count; ++k) {
      const bool stored = forSegmentCells(seg[members[k]], [&](uint64_t key) {
        const uint64_t slot = find(key);
        entries_[start_[slot] + fill_[slot]++] = members[k];
      });
      if (stored) continue;
      if (!big_.reserve(int64_t{bigCount_} + 1)) return false;
      big_[bigCount_++] = members[k];
    }
    return true;
  }

  // Visits every member from index `from` on stored in a cell that segment g passes (some more
  // than once), and the long members that may meet it. Cells list their members in ascending
  // order, so those below `from`, which a caller working through the pairs has met already,
  // are passed over at once. false as query.
  template <class Visit>
  bool querySegment(const JWeldSegment &g, int32_t from, Visit visit) {
    const bool walked = forSegmentCells(g, [&](uint64_t key) {
      const uint64_t slot = find(key);
      const int32_t *first = &entries_[0] + start_[slot], *end = &entries_[0] + start_[slot + 1];
      for (const int32_t *e = std::lower_bound(first, end, from); e < end; ++e) visit(*e);
    });
    const Box whole = grown(boxOf(g), stray_);
    if (!walked) return query(whole, visit);
    for (int32_t k = 0; k < bigCount_; ++k)
      if (big_[k] >= from && mayMeet(weldTables.segments[big_[k]], whole)) visit(big_[k]);
    return true;
  }

  // Visits every member whose box may meet b (some more than once); false when b is so large
  // that the caller should rather visit all members.
  template <class Visit>
  bool query(const Box &b, Visit visit) {
    const Span s = spanOf(b);
    if (s.area() > kMaxCellsPerQuery) return false;
    forCells(s, [&](uint64_t key) {
      const uint64_t slot = find(key);
      for (int64_t e = start_[slot]; e < start_[slot + 1]; ++e) visit(entries_[e]);
    });
    for (int32_t k = 0; k < bigCount_; ++k)
      if (mayMeet(weldTables.segments[big_[k]], b)) visit(big_[k]);
    return true;
  }

 private:
  // A cell is at least this many strays wide.
  static constexpr double kStraysPerCell = 4.0;
  // Cell indexes stay below 2^30 so that a cell's two indexes pack into one key.
  static constexpr double kMaxCellsPerSide = 1 << 30;
  static constexpr uint64_t kEmpty = UINT64_MAX;

  struct Span {
    int64_t x0, y0, x1, y1;
    int64_t area() const { return (x1 - x0 + 1) * (y1 - y0 + 1); }
    bool holds(int64_t x, int64_t y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
  };
  int64_t cellOf(double v, double origin) const {
    return clampedFloor((v - origin) / cell_, static_cast<int64_t>(kMaxCellsPerSide));
  }
  // Cells past the occupied ones hold nothing; a query reaching beyond them (a segment that is
  // no member) looks at the edge cells instead.
  Span spanOf(const Box &b) const {
    return {std::min(cellOf(b.minX, originX_), lastX_), std::min(cellOf(b.minY, originY_), lastY_),
            std::min(cellOf(b.maxX, originX_), lastX_), std::min(cellOf(b.maxY, originY_), lastY_)};
  }
  template <class Fn>
  void forCells(const Span &s, Fn fn) const {
    for (int64_t y = s.y0; y <= s.y1; ++y)
      for (int64_t x = s.x0; x <= s.x1; ++x)
        fn(static_cast<uint64_t>(x) << 32 | static_cast<uint64_t>(y));
  }
  // The slot of a cell: its place in the plain array, or in the hash table the slot holding
  // it or the empty slot where it belongs.
  uint64_t find(uint64_t key) {
    if (sideX_ > 0) return (key >> 32) + (key & 0xFFFFFFFFu) * static_cast<uint64_t>(sideX_);
    for (uint64_t slot = mix64(key) & mask_;; slot = (slot + 1) & mask_)
      if (keys_[slot] == key || keys_[slot] == kEmpty) return slot;
  }
  // Calls fn with the key of every cell that segment g passes: the cells of its box when they
  // are few, otherwise those along its line, a cell's length at a time, so that a long slanted
  // edge is met only near its line. false (fn not called) for a segment too long for either.
  template <class Fn>
  bool forSegmentCells(const JWeldSegment &g, Fn fn) const {
    const Box whole = grown(boxOf(g), stray_);
    const Span all = spanOf(whole);
    if (all.area() <= kMaxCellsPerBox) {
      forCells(all, fn);
      return true;
    }
    const double reach = std::max(whole.maxX - whole.minX, whole.maxY - whole.minY);
    const double pieces = std::ceil(reach / cell_);
    if (!(pieces <= kMaxCellsPerQuery)) return false;
    const int64_t n = std::max<int64_t>(1, static_cast<int64_t>(pieces));
    const double x0 = g.x0, y0 = g.y0, dx = double{g.x1} - x0, dy = double{g.y1} - y0;
    const double margin =
        std::max(kSideMargin * (std::fabs(x0) + std::fabs(y0) + reach + 1.0), stray_);
    // The cells of one piece overlap those of the piece before, which are passed over so that a
    // long segment meets each member of a cell once rather than two or four times.
    Span before = {1, 1, 0, 0};
    for (int64_t k = 0; k < n; ++k) {
      const double t0 = static_cast<double>(k) / n, t1 = static_cast<double>(k + 1) / n;
      const double ax = x0 + t0 * dx, ay = y0 + t0 * dy, bx = x0 + t1 * dx, by = y0 + t1 * dy;
      // Clipped to the segment's own box, which the grid covers.
      const Span span = spanOf({std::max(std::min(ax, bx) - margin, whole.minX),
                                std::max(std::min(ay, by) - margin, whole.minY),
                                std::min(std::max(ax, bx) + margin, whole.maxX),
                                std::min(std::max(ay, by) + margin, whole.maxY)});
      for (int64_t y = span.y0; y <= span.y1; ++y)
        for (int64_t x = span.x0; x <= span.x1; ++x)
          if (!before.holds(x, y)) fn(static_cast<uint64_t>(x) << 32 | static_cast<uint64_t>(y));
      before = span;
    }
    return true;
  }
  // As find, and records the cell as occupied.
  uint64_t claim(uint64_t key) {
    const uint64_t slot = find(key);
    if (sideX_ == 0) keys_[slot] = key;
    return slot;
  }

  double originX_ = 0.0, originY_ = 0.0, cell_ = 1.0, stray_ = 0.0;
  int64_t sideX_ = 0;              // cells per row of the plain array; 0 when cells are hashed
  int64_t lastX_ = 0, lastY_ = 0;  // the last occupied column and row
  uint64_t mask_ = 0;
  WorkArray<uint64_t> keys_;
  WorkArray<int32_t> start_;
  WorkArray<int32_t> fill_;
  WorkArray<int32_t> entries_;
  WorkArray<int32_t> big_;
  int32_t bigCount_ = 0;
};

// A point where segment `other` crosses, touches or overlaps `segment`, which is cut there.
struct Cut {
  int32_t segment, other;
  float x, y;
  double distance;  // from the segment's start, worked out when its cuts are sorted
};

// The cuts found by one pass, in the order they were found.
struct CutList {
  WorkArray<Cut> items;
  int64_t count = 0;
  // false when the list cannot grow.
  bool add(int32_t segment, int32_t other, float x, float y) {
    if (!items.reserve(count + 1)) return false;
    items[count++] = {segment, other, x, y, 0.0};
    return true;
  }
};

// Moves per cut an insertion sort may spend before a run gets a full sort.
constexpr int64_t kInsertionMovesPerCut = 4;

// A stable sort by distance of cuts without NaN. A segment crossing a row of others meets them
// largely in order, along it or against it: a run that mostly falls is turned round first, and
// an insertion sort then finishes it in linear time, without the buffer a full sort takes.
// Insertion moves a cut only past greater ones, so a full sort after it gives ties the same order.
void sortRunByDistance(Cut *from, Cut *to) {
  const int64_t n = to - from;
  int64_t falls = 0;
  for (const Cut *k = from; k + 1 < to; ++k) falls += k[1].distance < k[0].distance;
  if (falls == 0) return;
  // A run that falls at every step has no ties: turned round, it is sorted.
  if (falls == n - 1) {
    std::reverse(from, to);
    return;
  }
  const bool turned = 2 * falls > n;
  if (turned) std::reverse(from, to);
  int64_t budget = kInsertionMovesPerCut * n;
  for (Cut *i = from + 1; i < to && budget >= 0; ++i) {
    if (!(i->distance < i[-1].distance)) continue;
    // Found first, then moved as one block: a cut out of place often belongs far back.
    const Cut cut = *i;
    Cut *k = i - 1;
    while (k > from && cut.distance < k[-1].distance) --k;
    std::move_backward(k, i, i + 1);
    *k = cut;
    budget -= i - k;
  }
  if (budget < 0)
    std::stable_sort(from, to, [](const Cut &l, const Cut &r) { return l.distance < r.distance; });
  // Turning the run round reversed the order of ties: each run of equal distances turns back.
  for (Cut *tie = from; turned && tie < to;) {
    Cut *end = tie + 1;
    while (end < to && end->distance == tie->distance) ++end;
    std::reverse(tie, end);
    tie = end;
  }
}

// Orders the cuts by their distance from (x0, y0); equal distances keep their order. They
// come in table order of the segments met, which runs against the segment as often as along it.
// A point whose distance is NaN stays in its place and no point passes it, as in an insertion
// sort; a stable sort of each run between such points gives that order without the insertion
// sort's square time, which thousands of segments stacked on one another reach.
void sortByDistance(Cut *list, int32_t n, double x0, double y0) {
  bool anyNaN = false;
  for (int32_t k = 0; k < n; ++k) {
    list[k].distance = std::fabs(list[k].x - x0) + std::fabs(list[k].y - y0);
    anyNaN = anyNaN || std::isnan(list[k].distance);
  }
  if (!anyNaN) {
    sortRunByDistance(list, list + n);
    return;
  }
  for (int32_t from = 0; from < n;) {
    int32_t to = from;
    while (to < n && !std::isnan(list[to].distance)) ++to;
    sortRunByDistance(list + from, list + to);
    from = to + 1;
  }
}

bool samePoint(float ax, float ay, float bx, float by) { return ax == bx && ay == by; }

// Replaces segment s by pieces at the end of the table, cut at the sorted points, and marks it
// split. Each run of equal points list[from, to) goes to atRun(from, to, atStart, atEnd) before
// the piece that ends there, unless the run lies on an end of s, is made. The caller has made
// room for n + 1 more segments.
template <class AtRun>
void appendPieces(int32_t s, const Cut *list, int32_t n, AtRun &&atRun) {
  WeldTables &t = weldTables;
  const JWeldSegment base = t.segments[s];
  float fromX = base.x0, fromY = base.y0;
  int16_t flags = (base.flags & JWS_START_CORNER) ? kPieceBothCorners : kPieceEndCorner;
  for (int32_t from = 0; from < n;) {
    const float x = list[from].x, y = list[from].y;
    int32_t to = from + 1;
    while (to < n && samePoint(list[to].x, list[to].y, x, y)) ++to;
    const bool atStart = samePoint(x, y, base.x0, base.y0);
    const bool atEnd = samePoint(x, y, base.x1, base.y1);
    atRun(from, to, atStart, atEnd);
    from = to;
    if (atStart || atEnd) continue;
    t.segments[t.segmentCount++] = {flags, fromX, fromY, x, y, base.source};
    fromX = x;
    fromY = y;
    flags = kPieceBothCorners;
  }
  const int16_t last = (base.flags & JWS_END_CORNER) ? kPieceBothCorners : kPieceStartCorner;
  t.segments[t.segmentCount++] = {last, fromX, fromY, base.x1, base.y1, base.source};
  t.segments[s].flags = static_cast<int16_t>(base.flags + kWeldSplitMark);
}

// Sorts the cuts of segment s along it and replaces s by its pieces, each run of equal points
// seen by atRun as appendPieces shows it. false when the table cannot grow.
template <class AtRun>
bool cutSegment(int32_t s, Cut *list, int32_t n, AtRun &&atRun) {
  if (!weldReserveSegments(int64_t{weldTables.segmentCount} + n + 1)) return false;
  sortByDistance(list, n, weldTables.segments[s].x0, weldTables.segments[s].y0);
  appendPieces(s, list, n, std::forward<AtRun>(atRun));
  return true;
}

// Cuts every segment of a list sorted by segment at its cuts. Returns the number of segments
// cut, or -1 when memory runs out.
int32_t cutAll(CutList &cuts) {
  // Each cut makes at most one more piece, and each segment cut one more besides.
  if (!weldReserveSegments(int64_t{weldTables.segmentCount} + 2 * cuts.count)) return -1;
  int32_t split = 0;
  for (int64_t k = 0; k < cuts.count; ++split) {
    const int32_t s = cuts.items[k].segment;
    int64_t to = k + 1;
    while (to < cuts.count && cuts.items[to].segment == s) ++to;
    if (!cutSegment(s, &cuts.items[k], static_cast<int32_t>(to - k),
                    [](int32_t, int32_t, bool, bool) {}))
      return -1;
    k = to;
  }
  return split;
}

// Every flag value outside the live range becomes the discarded mark.
void discardNonLive() {
  WeldTables &t = weldTables;
  for (int32_t i = 0; i < t.segmentCount; ++i)
    if (!weldIsLive(t.segments[i].flags)) t.segments[i].flags = kWeldDiscarded;
}

// The segments that take part in classification (those not discarded) by the interval they span
// across one axis, for probe lines perpendicular to it. Segments without extent on that axis
// never meet such a line and are left out.
class SlabIndex {
 public:
  bool build(bool acrossY) {
    const WeldTables &t = weldTables;
    // A member's segment and the buckets its interval spans, first the interval itself.
    struct Member {
      int32_t segment;
      float lo, hi;
    };
    WorkArray<Member> members;
    if (!members.allocate(t.segmentCount)) return false;
    int32_t count = 0;
    double lo = INFINITY, hi = -INFINITY, extent = 0.0;
    for (int32_t i = 0; i < t.segmentCount; ++i) {
      const JWeldSegment &s = t.segments[i];
      if (s.flags < 0) continue;
      const float a = acrossY ? s.y0 : s.x0, b = acrossY ? s.y1 : s.x1;
      if (a == b) continue;
      members[count++] = {i, std::min(a, b), std::max(a, b)};
      lo = std::min<double>(lo, std::min(a, b));
      hi = std::max<double>(hi, std::max(a, b));
      extent += std::fabs(double{b} - a);
    }
    origin_ = count > 0 ? lo : 0.0;
    top_ = count > 0 ? hi : 0.0;
    const double range = top_ - origin_;
    const double n = std::max(count, 1);
    // Buckets half a typical extent keep the non-crossing members of a bucket few, and every
    // member can be stored in each bucket it spans: that makes about three entries a member,
    // however long some of them are.
    const double width = std::max(extent / n / 2.0, range / n / 2.0);
    const double perWidth = 1.0 / width;
    perWidth_ = std::isfinite(perWidth) && perWidth > 0.0 ? perWidth : 1.0;
    buckets_ = static_cast<int64_t>(std::min(range * perWidth_, 4.0 * n)) + 1;
    // start_ first counts the members of each bucket, then marks where each bucket's entries end
    // and, once every entry is in place, where they begin.
    if (!start_.allocate(buckets_ + 1)) return false;
    int64_t stored = 0;
    for (int32_t k = 0; k < count; ++k) {
      const int64_t b0 = bucketOf(members[k].lo), b1 = bucketOf(members[k].hi);
      stored += b1 - b0 + 1;
      for (int64_t b = b0; b <= b1; ++b) ++start_[b];
    }
    if (stored > INT32_MAX || !entries_.allocate(stored)) return false;
    for (int64_t b = 0; b < buckets_; ++b) start_[b + 1] += start_[b];
    // Placed from the last member back, each bucket keeps its entries in table order.
    for (int32_t k = count - 1; k >= 0; --k) {
      const int64_t b0 = bucketOf(members[k].lo), b1 = bucketOf(members[k].hi);
      for (int64_t b = b0; b <= b1; ++b) entries_[--start_[b]] = members[k].segment;
    }
    return true;
  }

  // Visits every member whose interval holds m, and possibly others.
  template <class Visit>
  void query(double m, Visit visit) {
    if (m < origin_ || m > top_) return;
    const int64_t k = bucketOf(m);
    for (int32_t e = start_[k]; e < start_[k + 1]; ++e) visit(entries_[e]);
  }

 private:
  // Any function of v that never decreases will do, as the build and the queries share it.
  int64_t bucketOf(double v) const { return clampedFloor((v - origin_) * perWidth_, buckets_ - 1); }

  double origin_ = 0.0, top_ = 0.0, perWidth_ = 1.0;
  int64_t buckets_ = 1;
  WorkArray<int32_t> start_;
  WorkArray<int32_t> entries_;
};

bool isFillRule(int32_t rule) { return rule == kWeldFillNonzero || rule == kWeldFillEvenOdd; }

bool filledByRule(int32_t rule, int32_t winding) {
  return rule == kWeldFillNonzero ? winding != 0 : winding % 2 != 0;
}

bool keepByRule(int32_t rule, int32_t before, int32_t after) {
  switch (rule) {
    case JWM_INTERSECT:
      return (before == 1 && after >= 2) || (before >= 2 && after == 1);
    case JWM_HOLE:
      return before == 1 || after == 1;
    case kWeldFillNonzero:
    case kWeldFillEvenOdd:
      return filledByRule(rule, before) != filledByRule(rule, after);
    default:
      return (before == 0 && after >= 1) || (before >= 1 && after == 0);
  }
}

// Casts the probe line of segment index probe and removes what the rule does not keep.
// A crossing while it is being ordered: aligned and small, so the sort moves little.
struct ProbeKey {
  double position;
  int32_t segment;
  int32_t step;
};

// The probe lines already cast. A line meets the same segments every time (removed ones still
// count), so casting it again would remove nothing more: many pieces of one row of shapes share
// a line. The table doubles when half full rather than being sized for every segment, as the
// pieces of a large drawing share far fewer lines than it has segments.
class ProbedLines {
 public:
  bool allocate() {
    count_ = 0;
    return resize(kFirstSlots);
  }
  // 1 when the line is new and now recorded, 0 when it was cast before, -1 when the table
  // cannot grow.
  int first(double m, bool vertical) {
    const double normalised = m + 0.0;  // -0 and +0 are one line
    Line &l = slotOf(normalised, vertical);
    if (l.used) return 0;
    l = {normalised, vertical, true};
    if (++count_ * 2 <= size_) return 1;
    return resize(2 * size_) ? 1 : -1;
  }

 private:
  static constexpr int64_t kFirstSlots = 16;
  static constexpr uint64_t kVerticalBit = 0x5555555555555555ull;
  struct Line {
    double m;
    bool vertical;
    bool used;
  };

  // The slot holding the line, or the free slot where it belongs.
  Line &slotOf(double m, bool vertical) {
    uint64_t bits;
    std::memcpy(&bits, &m, sizeof bits);
    const uint64_t key = bits ^ (vertical ? kVerticalBit : 0);
    const uint64_t mask = static_cast<uint64_t>(size_ - 1);
    for (uint64_t slot = mix64(key) & mask;; slot = (slot + 1) & mask) {
      Line &l = lines_[static_cast<int64_t>(slot)];
      if (!l.used || (l.m == m && l.vertical == vertical)) return l;
    }
  }

  bool resize(int64_t size) {
    WorkArray<Line> old;
    old.swap(lines_);
    const int64_t oldSize = size_;
    if (!lines_.allocate(size)) {
      lines_.swap(old);
      return false;
    }
    size_ = size;
    for (int64_t i = 0; i < oldSize; ++i)
      if (old[i].used) slotOf(old[i].m, old[i].vertical) = old[i];
    return true;
  }

  int64_t size_ = 0, count_ = 0;
  WorkArray<Line> lines_;
};

bool beforeOnLine(const ProbeKey &l, const ProbeKey &r) {
  return l.position != r.position ? l.position < r.position : l.segment < r.segment;
}

// Orders the crossings of one line by position, then segment index. The index hands them over
// largely in order along the line, as neighbouring segments of a contour come one after the
// other, so insertion finishes most lines in linear time; one that needs too many moves is
// left to a full sort.
void sortAlongLine(ProbeKey *keys, int32_t count) {
  int64_t budget = kInsertionMovesPerKey * int64_t{count};
  for (int32_t i = 1; i < count; ++i) {
    const ProbeKey key = keys[i];
    int32_t k = i;
    for (; k > 0 && beforeOnLine(key, keys[k - 1]); --k) keys[k] = keys[k - 1];
    keys[k] = key;
    budget -= i - k;
    if (budget < 0) {
      // A lambda rather than the function's address lets the sort inline the comparison.
      std::sort(keys, keys + count,
                [](const ProbeKey &l, const ProbeKey &r) { return beforeOnLine(l, r); });
      return;
    }
  }
}

// Crossings of a line closer than this part of their distance from the origin may have changed
// places in rounding: far above the few double steps of error in a position.
constexpr double kClearOnLine = 0x1p-30;

// Probes that scan the whole table before the slab index of their axis is built: a scan is a
// single pass over the records, an eighth or so of what building the index costs.
constexpr int32_t kScansBeforeIndex = 8;

// The long runs of records that chain end to start from one source, a base segment's pieces in
// order, so that a probe line that scans the table meets each run whole: where a run goes one way
// along the line's axis, the one piece of it that can cross the line is found by halving.
class ChainRuns {
 public:
  // false when memory runs out.
  bool build() {
    const JWeldSegment *seg = weldTables.segments;
    const int32_t n = weldTables.segmentCount;
    for (int32_t i = 0; i < n;) {
      // Whether the run so far never turns back across x, or across y, going up or down.
      bool upX = true, downX = true, upY = true, downY = true;
      int32_t e = i;
      do {
        const float x0 = seg[e].x0, y0 = seg[e].y0, x1 = seg[e].x1, y1 = seg[e].y1;
        upX &= x0 <= x1;
        downX &= x0 >= x1;
        upY &= y0 <= y1;
        downY &= y0 >= y1;
        ++e;
      } while (e < n && seg[e].source == seg[i].source &&
               samePoint(seg[e - 1].x1, seg[e - 1].y1, seg[e].x0, seg[e].y0));
      if (e - i >= kShortestRun) {
        if (!runs_.reserve(int64_t{count_} + 1)) return false;
        runs_[count_++] = {i, e, upX || downX, upY || downY};
      }
      i = e;
    }
    return true;
  }
  // Calls cross(i) for every record i that takes part and crosses the line at m across x
  // (across y unless alongX), in table order.
  template <class Cross>
  void scan(double m, bool alongX, Cross cross) const {
    const JWeldSegment *seg = weldTables.segments;
    auto from = [&](int32_t i) { return double{alongX ? seg[i].x0 : seg[i].y0}; };
    auto to = [&](int32_t i) { return double{alongX ? seg[i].x1 : seg[i].y1}; };
    auto test = [&](int32_t i) {
      if (seg[i].flags >= 0 && (from(i) > m) != (to(i) > m)) cross(i);
    };
    int32_t i = 0;
    for (int32_t r = 0; r <= count_; ++r) {
      const int32_t single = r < count_ ? runs_[r].first : weldTables.segmentCount;
      for (; i < single; ++i) test(i);
      if (r == count_) break;
      const Run &run = runs_[r];
      i = run.end;
      if (!(alongX ? run.oneWayX : run.oneWayY)) {
        for (int32_t k = run.first; k < run.end; ++k) test(k);
        continue;
      }
      // Along a run that never turns back, the piece that crosses is the first whose end has
      // passed m the way the run goes.
      const bool rises = to(run.end - 1) >= from(run.first);
      int32_t lo = run.first, hi = run.end;
      while (lo < hi) {
        const int32_t mid = lo + (hi - lo) / 2;
        if (rises ? to(mid) > m : to(mid) <= m)
          hi = mid;
        else
          lo = mid + 1;
      }
      if (lo < run.end) test(lo);
    }
  }

 private:
  // Runs shorter than this are scanned record by record.
  static constexpr int32_t kShortestRun = 8;
  struct Run {
    int32_t first, end;
    bool oneWayX, oneWayY;
  };
  WorkArray<Run> runs_;
  int32_t count_ = 0;
};

// What every probe of one classification shares.
struct ProbeTools {
  SlabIndex rows, columns;
  bool rowsBuilt = false, columnsBuilt = false;
  ChainRuns chains;  // built for the first scan
  int32_t scans = 0;
  WorkArray<ProbeKey> keys;
  ProbedLines probed;
  // Segments that some cast line has met, and so kept or removed.
  WorkArray<bool> met;
  // Per segment, the change of winding beside it to the next record where that continues it past
  // a clean crossing; 0 elsewhere.
  WorkArray<int8_t> onward;
  // Whether a segment already met casts no line; then no line is ever cast twice.
  bool skipMet = false;
  // Lines that only check what they meet: they remove nothing and set wouldRemove, and stop,
  // at the first live segment that a line of their own would remove.
  bool checkOnly = false;
  bool wouldRemove = false;
};

// Keeps or removes segment s by the windings before and after it on a line that it crosses by
// step, and turns its filled side to its right under a fill rule.
void settle(JWeldSegment &s, int32_t before, int32_t after, int32_t step) {
  const int32_t rule = weldTables.rule;
  if (!keepByRule(rule, before, after))
    s.flags = 0;
  else if (isFillRule(rule) && weldIsLive(s.flags) && filledByRule(rule, after) != (step > 0))
    s.flags = static_cast<int16_t>(s.flags | JWS_REVERSE);
}

// Settles the unmet pieces that continue piece `from` past clean crossings, both ways, from the
// winding on its right. The winding on a segment's left is always one less than on its right,
// and a clean crossing changes both by the step splitting recorded.
void carryAlong(int32_t from, int32_t right, ProbeTools &tools) {
  JWeldSegment *seg = weldTables.segments;
  // Whether b, unmet, continues a.
  auto continues = [&](int32_t a, int32_t b) {
    return tools.onward[a] != 0 && !tools.met[b] && seg[b].flags >= 0 &&
           seg[b].source == seg[a].source && samePoint(seg[a].x1, seg[a].y1, seg[b].x0, seg[b].y0);
  };
  auto settleAt = [&](int32_t i, int32_t w) {
    tools.met[i] = true;
    settle(seg[i], w - 1, w, 1);
  };
  int32_t w = right;
  for (int32_t i = from; i + 1 < weldTables.segmentCount && continues(i, i + 1); ++i) {
    w += tools.onward[i];
    settleAt(i + 1, w);
  }
  w = right;
  for (int32_t i = from; i > 0 && continues(i - 1, i); --i) {
    w -= tools.onward[i - 1];
    settleAt(i - 1, w);
  }
}

bool probeSegment(int32_t probe, ProbeTools &tools) {
  WeldTables &t = weldTables;
  const JWeldSegment &p = t.segments[probe];
  const bool vertical =
      std::fabs(static_cast<double>(p.x0) - p.x1) > std::fabs(static_cast<double>(p.y0) - p.y1);
  const double m = vertical ? (static_cast<double>(p.x0) + p.x1) * 0.5
                            : (static_cast<double>(p.y0) + p.y1) * 0.5;
  const int sign = vertical ? kVerticalSign : kHorizontalSign;
  if (!tools.skipMet && !tools.checkOnly) {
    const int line = tools.probed.first(m, vertical);
    if (line <= 0) return line == 0;
  }
  // Across and along coordinates of a segment's ends on this line.
  auto ends = [&](const JWeldSegment &s, double &a, double &b, double &e0, double &e1) {
    a = vertical ? s.x0 : s.y0;
    b = vertical ? s.x1 : s.y1;
    e0 = vertical ? s.y0 : s.x0;
    e1 = vertical ? s.y1 : s.x1;
  };
  int32_t count = 0;
  bool full = false;
  auto gather = [&](int32_t i) {
    if (full) return;
    double a, b, e0, e1;
    ends(t.segments[i], a, b, e0, e1);
    if ((a > m) == (b > m)) return;
    tools.met[i] = true;
    full = !tools.keys.reserve(count + 1);
    if (!full) tools.keys[count++] = {(m - a) * (e1 - e0) / (b - a) + e0, i, b >= a ? sign : -sign};
  };
  SlabIndex &index = vertical ? tools.columns : tools.rows;
  bool &built = vertical ? tools.columnsBuilt : tools.rowsBuilt;
  if (!built && tools.scans >= kScansBeforeIndex) {
    if (!index.build(!vertical)) return false;
    built = true;
  }
  if (built) {
    index.query(m, gather);
  } else {
    if (tools.scans++ == 0 && !tools.chains.build()) return false;
    tools.chains.scan(m, vertical, gather);
  }
  if (full || !weldReserveCrossings(count)) return false;
  // Records are gathered out of table order; the index as last key gives the order a stable
  // sort of the table-ordered list would. Inclinations only order equal positions, so they
  // are worked out for those alone.
  ProbeKey *keys = &tools.keys[0];
  sortAlongLine(keys, count);
  JWeldCrossing *records = t.crossings;
  for (int32_t k = 0; k < count; ++k)
    records[k] = {static_cast<int16_t>(keys[k].step), keys[k].segment, keys[k].position, 0.0};
  for (int32_t k = 0; k + 1 < count;) {
    int32_t run = k + 1;
    while (run < count && records[run].position == records[k].position) ++run;
    if (run - k > 1) {
      for (int32_t r = k; r < run; ++r) {
        double a, b, e0, e1;
        ends(t.segments[records[r].segment], a, b, e0, e1);
        double angle = static_cast<float>(jMathAtan(b - a, e1 - e0));
        if (angle < 0.0) angle += kFloatPi;
        records[r].angle = angle;
      }
      // Copies of one edge in one direction lie in a stack whose order every line must agree
      // on, or lines from either side keep different copies and the edge vanishes: the lower
      // index lies on the side the line enters from when it counts up, and leaves by otherwise.
      std::sort(records + k, records + run, [](const JWeldCrossing &l, const JWeldCrossing &r) {
        if (l.angle != r.angle) return l.angle > r.angle;
        if (l.step != r.step) return l.step > r.step;
        return l.step > 0 ? l.segment < r.segment : l.segment > r.segment;
      });
    }
    k = run;
  }
  int32_t winding = 0;
  for (int32_t k = 0; k < count; ++k) {
    const int32_t before = winding;
    winding += records[k].step;
    JWeldSegment &s = t.segments[records[k].segment];
    if (!tools.checkOnly) {
      settle(s, before, winding, records[k].step);
    } else if (weldIsLive(s.flags) && !keepByRule(t.rule, before, winding)) {
      tools.wouldRemove = true;
      return false;
    }
  }
  if (!tools.skipMet) return true;
  // A piece that the line meets clear of every other passes its winding on along its base;
  // where two lie closer than rounding could order, either may carry the other's winding.
  auto clearOf = [&](int32_t k, int32_t other) {
    const double a = records[k].position, b = records[other].position;
    return std::fabs(a - b) > kClearOnLine * (std::fabs(a) + std::fabs(b));
  };
  winding = 0;
  for (int32_t k = 0; k < count; ++k) {
    const int32_t before = winding;
    winding += records[k].step;
    if ((k == 0 || clearOf(k, k - 1)) && (k + 1 == count || clearOf(k, k + 1)))
      carryAlong(records[k].segment, records[k].step > 0 ? winding : before, tools);
  }
  return true;
}

}  // namespace

// Starting sizes of the tables: a few shapes fit without growing.
constexpr int32_t kFirstContours = 16;
constexpr int32_t kFirstSegments = 256;
constexpr int32_t kFirstCrossings = 64;

// Tables of at most this many bytes together stay for the next combine: growing them afresh on
// every call cleared and copied them several times over, a twentieth of the time of a small
// combine. Larger ones go back, so that one large weld does not hold its memory.
constexpr int64_t kKeptTableBytes = int64_t{2} << 20;

bool weldAllocTables() {
  WeldTables &t = weldTables;
  t.contourCount = t.segmentCount = 0;
  t.unevenCancel = false;
  t.rule = JWM_UNION;
  if (weldReserveContours(kFirstContours) && weldReserveSegments(kFirstSegments) &&
      weldReserveCrossings(kFirstCrossings))
    return true;
  weldFreeTables();
  return false;
}

bool weldReserveContours(int64_t count) {
  return growBlock(weldTables.contours, weldTables.contourCapacity, count);
}

bool weldReserveSegments(int64_t count) {
  return growBlock(weldTables.segments, weldTables.segmentCapacity, count);
}

bool weldReserveCrossings(int64_t count) {
  return growBlock(weldTables.crossings, weldTables.crossingCapacity, count);
}

void weldFreeTables() {
  WeldTables &t = weldTables;
  const int64_t bytes = int64_t{t.contourCapacity} * int64_t{sizeof(JWeldContour)} +
                        int64_t{t.segmentCapacity} * int64_t{sizeof(JWeldSegment)} +
                        int64_t{t.crossingCapacity} * int64_t{sizeof(JWeldCrossing)};
  if (bytes <= kKeptTableBytes && t.contours && t.segments && t.crossings) {
    t.contourCount = t.segmentCount = 0;
    return;
  }
  jMemFree(t.contours);
  jMemFree(t.segments);
  jMemFree(t.crossings);
  t = {};
}

bool weldBuildSegments(const JVect *path) {
  WeldTables &t = weldTables;
  const JVectPoint *points = path->points;
  const int32_t n = path->count;
  bool open = false;
  int16_t startBits = 0;
  float box[4] = {};
  float startX = 0, startY = 0, fromX = 0, fromY = 0;
  // Every point but a contour's start makes at most one segment; one more contour record holds
  // the pseudo-contour of classification.
  int64_t starts = 0;
  for (int32_t i = 0; i < n; ++i) starts += points[i].mode == JVM_START ? 1 : 0;
  if (!weldReserveSegments(n - starts) || !weldReserveContours(starts + 1)) return false;
  for (int32_t i = 0; i < n; ++i) {
    const JVectPoint p = points[i];
    if (p.mode == JVM_START) {
      // A contour left unclosed by a point of another mode is dropped with its segments.
      if (open) t.segmentCount = t.contours[t.contourCount].first;
      if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
      t.contours[t.contourCount].first = t.segmentCount;
      box[0] = box[2] = startX = fromX = p.x;
      box[1] = box[3] = startY = fromY = p.y;
      startBits = kContourStartBits;
      open = true;
      continue;
    }
    if (!open || !isLineMode(p.mode)) continue;
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
    jMinMaxJudge(box, p.x, p.y);
    JWeldSegment &s = t.segments[t.segmentCount];
    const bool closes = i == n - 1 || points[i + 1].mode == JVM_START;
    if (closes) {
      s = {static_cast<int16_t>(startBits | JWS_END_CORNER),
           fromX,
           fromY,
           startX,
           startY,
           t.segmentCount};
      JWeldContour &c = t.contours[t.contourCount++];
      c.end = ++t.segmentCount;
      c.minX = box[0];
      c.minY = box[1];
      c.maxX = box[2];
      c.maxY = box[3];
      open = false;
    } else {
      const int16_t bits = p.mode == JVM_SVT ? startBits : startBits | JWS_END_CORNER;
      s = {bits, fromX, fromY, p.x, p.y, t.segmentCount};
      ++t.segmentCount;
      fromX = p.x;
      fromY = p.y;
    }
    startBits = p.mode == JVM_SVT ? JWS_LIVE : kContourStartBits;
  }
  if (open) t.segmentCount = t.contours[t.contourCount].first;
  return true;
}

namespace {

// The segments found by their exact end points, in order.
auto liveEdgeIndex(JWeldSegment *seg) {
  return makeExactIndex<4>([seg](int32_t i) {
    return std::array<float, 4>{seg[i].x0, seg[i].y0, seg[i].x1, seg[i].y1};
  });
}

}  // namespace

bool weldCancelSharedEdges() {
  WeldTables &t = weldTables;
  JWeldSegment *seg = t.segments;
  auto edges = liveEdgeIndex(seg);
  if (!edges.build(t.segmentCount, [seg](int32_t i) { return weldIsLive(seg[i].flags); }))
    return false;
  for (int32_t i = 0; i < t.contourCount; ++i) {
    const JWeldContour &own = t.contours[i];
    for (int32_t a = own.first; a < own.end; ++a) {
      if (!weldIsLive(seg[a].flags)) continue;
      // Each later contour gives up at most its first live reverse copy of a.
      int32_t lastContour = i;
      for (int32_t b = edges.first({seg[a].x1, seg[a].y1, seg[a].x0, seg[a].y0}); b >= 0;
           b = edges.next(b)) {
        const int32_t j = contourOfSegment(b);
        if (j <= lastContour || !weldIsLive(seg[b].flags) || !contoursOverlap(own, t.contours[j]))
          continue;
        if (lastContour != i) t.unevenCancel = true;
        seg[a].flags = kWeldDiscarded;
        seg[b].flags = kWeldDiscarded;
        lastContour = j;
      }
    }
  }
  return true;
}

int32_t weldSegmentCross(const JWeldSegment &p, const JWeldSegment &q, float *out) {
  // Sides of each end point against the other segment's line. Differences of floats and their
  // products are exact in double for coordinates of one magnitude, so these signs are exact:
  // an end point on the other line is the crossing itself, bit for bit, and segments that share
  // an end point meet only there (a point shared by many segments makes no sliver pieces).
  const double pdx = double{p.x1} - p.x0, pdy = double{p.y1} - p.y0;
  const double qdx = double{q.x1} - q.x0, qdy = double{q.y1} - q.y0;
  const double q0 = (double{q.x0} - p.x0) * pdy - (double{q.y0} - p.y0) * pdx;
  const double q1 = (double{q.x1} - p.x0) * pdy - (double{q.y1} - p.y0) * pdx;
  const double p0 = (double{p.x0} - q.x0) * qdy - (double{p.y0} - q.y0) * qdx;
  const double p1 = (double{p.x1} - q.x0) * qdy - (double{p.y1} - q.y0) * qdx;
  auto apart = [](double a, double b) { return (a > 0 && b > 0) || (a < 0 && b < 0); };
  if ((q0 == 0 && q1 == 0) || apart(q0, q1) || apart(p0, p1)) return 0;
  if (q0 == 0 || q1 == 0 || p0 == 0 || p1 == 0) {
    const float ends[4][2] = {{q.x0, q.y0}, {q.x1, q.y1}, {p.x0, p.y0}, {p.x1, p.y1}};
    const double sides[4] = {q0, q1, p0, p1};
    for (int32_t k = 0; k < 4; ++k) {
      if (sides[k] != 0) continue;
      out[0] = ends[k][0];
      out[1] = ends[k][1];
      return 1;
    }
  }
  // A proper crossing, measured from q's start; rounding to float may leave the segments'
  // common box, so the point is kept inside it.
  const double t = q0 / (q0 - q1);
  auto clampTo = [](double v, float a0, float a1, float b0, float b1) {
    const double lo = std::max(std::min(a0, a1), std::min(b0, b1));
    const double hi = std::min(std::max(a0, a1), std::max(b0, b1));
    return static_cast<float>(std::clamp(v, lo, std::max(lo, hi)));
  };
  out[0] = clampTo(q.x0 + t * qdx, p.x0, p.x1, q.x0, q.x1);
  out[1] = clampTo(q.y0 + t * qdy, p.y0, p.y1, q.y0, q.y1);
  return 1;
}

int32_t weldCollinearEnds(const JWeldSegment &p, const JWeldSegment &q, float *out) {
  const double dx = double{p.x1} - p.x0, dy = double{p.y1} - p.y0;
  // Differences of floats and their products are exact in double for coordinates of one
  // magnitude, so a zero here means the point lies on p's line.
  auto onLine = [&](double x, double y) { return (x - p.x0) * dy - (y - p.y0) * dx == 0.0; };
  auto inside = [&](double x, double y) {
    return (x - p.x0) * dx + (y - p.y0) * dy > 0.0 && (x - p.x1) * dx + (y - p.y1) * dy < 0.0;
  };
  if (!onLine(q.x0, q.y0) || !onLine(q.x1, q.y1)) return 0;
  int32_t n = 0;
  const float ends[4] = {q.x0, q.y0, q.x1, q.y1};  // copies: the record is packed
  for (int32_t k = 0; k < 4; k += 2) {
    if (!inside(ends[k], ends[k + 1])) continue;
    out[2 * n] = ends[k];
    out[2 * n + 1] = ends[k + 1];
    ++n;
  }
  return n;
}

namespace {

// Crossing points are rounded to floats, so a piece does not lie exactly on the line of the
// segment it was cut from. Where two lines meet at a shallow angle, as the overlapping sides of
// an inner offset corner do, that step of a float can make a piece cross a segment that its
// whole segment only touched, and an unsplit crossing makes the probes classify the pieces
// around it inconsistently, which loses whole outlines far from the origin. So pieces are
// checked against every segment once more, pass after pass, until no new crossing turns up.
constexpr int32_t kMaxSplitPasses = 4;
// A rounded cut point lies within 0.71 float steps of the largest coordinate from the lines of
// both segments it cuts, and a piece cut again in a later pass strays as far once more from the
// piece it was cut from: after the last pass, a piece lies within this many steps of its base
// segment's line.
constexpr double kStraySteps = 4.0;
// After the last pass a piece strays by d = 3.6 steps at most; a point within d of two lines
// crossing at an angle of sine s lies within 2d / s of their crossing, so that a neighbouring
// cut point farther than 2d / s + 3d keeps the pieces of the two apart, and segments farther
// apart than 2d never meet. Twelve steps covers each term.
constexpr double kCrowdSteps = 12.0;

// One float step at the largest coordinate of the work.
double floatStepAt(double largest) {
  int exponent = 0;
  std::frexp(largest, &exponent);
  const double step = std::ldexp(1.0, exponent - std::numeric_limits<float>::digits);
  return std::max(step, double{std::numeric_limits<float>::denorm_min()});
}

// Whether the first pass's pieces of two segments that cross at an angle whose sine is
// cross / norms meet only at that point when the nearest other cut lies sqrt(gap2) from it: the
// cuts must stay kCrowdSteps * step * (1 / sine + 1) away. Squared and multiplied out, the test
// needs no root and no division.
bool clearOfCrossing(double gap2, double cross, double norms, double step) {
  const double reach = kCrowdSteps * step * (norms + cross);
  return cross > 0.0 && gap2 * cross * cross > reach * reach;
}

double squaredDistance(double ax, double ay, double bx, double by) {
  return (bx - ax) * (bx - ax) + (by - ay) * (by - ay);
}

double pointDistance(double ax, double ay, double bx, double by) {
  return std::sqrt(squaredDistance(ax, ay, bx, by));
}

// The distance from (px, py) to segment s.
double distanceToSegment(double px, double py, const JWeldSegment &s) {
  const double dx = double{s.x1} - s.x0, dy = double{s.y1} - s.y0, length2 = dx * dx + dy * dy;
  const double along = length2 > 0.0 ? ((px - s.x0) * dx + (py - s.y0) * dy) / length2 : 0.0;
  const double t = std::clamp(along, 0.0, 1.0);
  return pointDistance(px, py, s.x0 + t * dx, s.y0 + t * dy);
}

// Whether two segments that do not cross come within reach of each other: the distance between
// them is that of the nearest end to the other segment. An end farther than reach from the other
// segment's line is farther from the segment too, which settles most pairs without a root.
bool nearMiss(const JWeldSegment &a, const JWeldSegment &b, double reach) {
  auto nearLine = [reach](const JWeldSegment &p, double x, double y) {
    const double dx = double{p.x1} - p.x0, dy = double{p.y1} - p.y0;
    const double side = (x - p.x0) * dy - (y - p.y0) * dx;
    return side * side <= reach * reach * (dx * dx + dy * dy);
  };
  if (!nearLine(b, a.x0, a.y0) && !nearLine(b, a.x1, a.y1) && !nearLine(a, b.x0, b.y0) &&
      !nearLine(a, b.x1, b.y1))
    return false;
  return std::min({distanceToSegment(a.x0, a.y0, b), distanceToSegment(a.x1, a.y1, b),
                   distanceToSegment(b.x0, b.y0, a), distanceToSegment(b.x1, b.y1, a)}) <= reach;
}

// What the first split pass hands to the later ones. Pieces stray from their segment's line by
// a float step or so, so pieces of two segments can meet away from the points they were cut at
// only where the segments come that close: near a crossing with other cuts close by, at a
// shallow angle, along a shared line or where they pass within a few steps of each other. The
// segments of every such pair are in doubt; only their pieces can need a later cut.
struct SplitSearch {
  BoxGrid grid;  // the base segments that take part
  WorkArray<int32_t> members;
  int32_t memberCount = 0;
  int32_t baseCount = 0;
  double step = 0.0;   // one float step at the largest coordinate
  double stray = 0.0;  // how far any piece may lie from its base segment's line
  WorkArray<bool> doubtful;
  bool anyDoubt = false;
  // Per base segment, its length and the clear stretch from each end to its nearest cut; floats,
  // whose rounding the margins of the crowding test dwarf, keep them small beside the segments.
  WorkArray<float> length, head, tail;

  // Per first-pass piece, the base segment that alone crosses its base where the piece ends,
  // and whether it crosses from the base's left to its right; other is -1 where none or several
  // do, the point ends the other segment, or the two run parallel.
  struct Crossing {
    int32_t other;
    bool fromLeft;
  };
  WorkArray<Crossing> crossedBy;

  void doubt(int32_t a, int32_t b) { doubtful[a] = doubtful[b] = anyDoubt = true; }
  // The cross product of base segments a and b; its sign is exact, and swapping them negates it.
  static double cross(int32_t a, int32_t b) {
    const JWeldSegment &p = weldTables.segments[a], &q = weldTables.segments[b];
    return (double{p.x1} - p.x0) * (double{q.y1} - q.y0) -
           (double{p.y1} - p.y0) * (double{q.x1} - q.x0);
  }
  // Whether base segments a and b, which cross with that cross product, keep their pieces apart
  // except at that point when the nearest other cut lies sqrt(gap2) from it.
  bool clearAt(int32_t a, int32_t b, double crossAB, double gap2) {
    return clearOfCrossing(gap2, std::fabs(crossAB), double{length[a]} * length[b], step);
  }
};

// Cuts that the first pass finds on a later segment while it cuts an earlier one, kept until
// the later one's turn, so that each crossing is worked out once. A segment's cuts stay in the
// order they were found; nodes it has taken serve again.
class LaterCuts {
 public:
  explicit LaterCuts(int32_t baseCount) : baseCount_(baseCount) {}
  int64_t held() const { return held_; }
  // false when the nodes cannot grow. The chains' heads are made with the first cut: work
  // without crossings holds none.
  bool add(int32_t segment, int32_t other, float x, float y) {
    if (!chained_) {
      if (!first_.allocate(baseCount_) || !last_.allocate(baseCount_)) return false;
      for (int32_t i = 0; i < baseCount_; ++i) first_[i] = kNone;
      chained_ = true;
    }
    int32_t node = free_;
    if (node != kNone) {
      free_ = nodes_[node].next;
    } else {
      if (!nodes_.reserve(int64_t{used_} + 1)) return false;
      node = used_++;
    }
    nodes_[node] = {other, x, y, kNone};
    if (first_[segment] == kNone)
      first_[segment] = node;
    else
      nodes_[last_[segment]].next = node;
    last_[segment] = node;
    ++held_;
    return true;
  }
  // Appends the cuts kept for segment to list; false when the list cannot grow.
  bool takeInto(int32_t segment, CutList &list) {
    if (held_ == 0) return true;
    for (int32_t node = first_[segment]; node != kNone;) {
      const Node &c = nodes_[node];
      if (!list.add(segment, c.other, c.x, c.y)) return false;
      const int32_t next = nodes_[node].next;
      nodes_[node].next = free_;
      free_ = node;
      --held_;
      node = next;
    }
    first_[segment] = kNone;
    return true;
  }

 private:
  static constexpr int32_t kNone = -1;
  // A cut of the segment whose chain holds it.
  struct Node {
    int32_t other;
    float x, y;
    int32_t next;
  };
  int32_t baseCount_;
  bool chained_ = false;
  WorkArray<Node> nodes_;
  WorkArray<int32_t> first_, last_;
  int32_t used_ = 0, free_ = kNone;
  int64_t held_ = 0;
};

// Adds the points where base segments s and other cut each other: those on s to cuts, those on
// other to later unless it is null (other then finds them itself). Marks both as doubtful where
// their pieces could meet in a way the cuts do not show. false when a list cannot grow.
bool addCuts(int32_t s, int32_t other, SplitSearch &search, CutList &cuts, LaterCuts *later) {
  const JWeldSegment *seg = weldTables.segments;
  float point[4];
  if (weldSegmentCross(seg[std::min(s, other)], seg[std::max(s, other)], point) == 1)
    return cuts.add(s, other, point[0], point[1]) &&
           (later == nullptr || later->add(other, s, point[0], point[1]));
  int32_t onLine = weldCollinearEnds(seg[s], seg[other], point);
  for (int32_t k = 0; k < onLine; ++k)
    if (!cuts.add(s, other, point[2 * k], point[2 * k + 1])) return false;
  if (later != nullptr) {
    const int32_t onOther = weldCollinearEnds(seg[other], seg[s], point);
    for (int32_t k = 0; k < onOther; ++k)
      if (!later->add(other, s, point[2 * k], point[2 * k + 1])) return false;
    onLine += onOther;
  }
  if (onLine > 0 || nearMiss(seg[s], seg[other], kCrowdSteps * search.step)) search.doubt(s, other);
  return true;
}

// Marks segment s and a segment that cuts it as doubtful where another point of s lies too close
// to their cut for their pieces to stay apart, and records the clear stretch at s's ends and,
// for each piece that appendPieces makes from the sorted list, what alone crosses s where the
// piece ends: run by run as the pieces are made, then finish(). Distances are compared squared:
// one root per segment rather than several per cut. The caller has made room in crossedBy for
// the pieces.
class CrowdMarks {
 public:
  CrowdMarks(int32_t s, const Cut *list, int32_t n, SplitSearch &search)
      : s_(s), list_(list), n_(n), search_(search), base_(weldTables.segments[s]) {
    head2_ = tail2_ = double{search.length[s]} * search.length[s];
  }

  // The run list[from, to) of equal points; a piece ending there is about to be made unless the
  // run lies on an end of s.
  void operator()(int32_t from, int32_t to, bool atStart, bool atEnd) {
    const JWeldSegment &base = base_;
    const float x = list_[from].x, y = list_[from].y;
    const double toStart2 = squaredDistance(base.x0, base.y0, x, y);
    const double before2 = atStart ? INFINITY : fromBefore2_ < 0.0 ? toStart2 : fromBefore2_;
    const float afterX = to < n_ ? list_[to].x : base.x1, afterY = to < n_ ? list_[to].y : base.y1;
    fromBefore2_ = squaredDistance(x, y, afterX, afterY);
    const double after2 = atEnd ? INFINITY : fromBefore2_;
    if (!atStart) head2_ = std::min(head2_, toStart2);
    if (!atEnd) tail2_ = std::min(tail2_, squaredDistance(base.x1, base.y1, x, y));
    const double gap2 = std::min(before2, after2);
    double crossed = 0.0;  // the cross product with the last segment of the run
    for (int32_t k = from; k < to; ++k) {
      crossed = SplitSearch::cross(s_, list_[k].other);
      if (!search_.clearAt(s_, list_[k].other, crossed, gap2)) search_.doubt(s_, list_[k].other);
    }
    if (atStart || atEnd) return;
    // Clean: one other segment, crossed inside it, not along it.
    const JWeldSegment &other = weldTables.segments[list_[from].other];
    const bool clean = to - from == 1 && crossed != 0.0 && !samePoint(x, y, other.x0, other.y0) &&
                       !samePoint(x, y, other.x1, other.y1);
    search_.crossedBy[weldTables.segmentCount] = {clean ? list_[from].other : -1, crossed < 0.0};
  }

  // Once the last piece is made.
  void finish() {
    search_.crossedBy[weldTables.segmentCount - 1] = {-1, false};
    search_.head[s_] = static_cast<float>(std::sqrt(head2_));
    search_.tail[s_] = static_cast<float>(std::sqrt(tail2_));
  }

 private:
  int32_t s_;
  const Cut *list_;
  int32_t n_;
  SplitSearch &search_;
  JWeldSegment base_;
  double head2_, tail2_;
  // The squared distance from the run before, from the start at first: the distance to the
  // next run, worked out for the run before, serves again, as squaring makes it symmetric.
  double fromBefore2_ = -1.0;
};

// Marks the first pass's pieces that the next piece continues past a clean crossing with a
// segment, neither of them in doubt, with the change of winding beside them there: the base
// crosses the other from its right to its left, which lowers the winding by one, where the
// other crosses the base from the base's left. Segments that no longer close up have no winding
// to carry.
void markOnward(SplitSearch &search, int32_t end) {
  if (weldTables.unevenCancel) return;
  JWeldSegment *seg = weldTables.segments;
  for (int32_t p = search.baseCount; p < end; ++p) {
    const SplitSearch::Crossing &c = search.crossedBy[p];
    if (c.other < 0 || search.doubtful[seg[p].source] || search.doubtful[c.other]) continue;
    seg[p].flags =
        static_cast<int16_t>(seg[p].flags | JWS_ONWARD | (c.fromLeft ? JWS_ONWARD_DOWN : 0));
  }
}

// Pieces of neighbours in a contour share the corner between them, so only pieces of a split
// neighbour with cuts close to that corner, or a corner folded back on itself, can meet again.
void markCrowdedCorners(SplitSearch &search) {
  const WeldTables &t = weldTables;
  const JWeldSegment *seg = t.segments;
  for (int32_t c = 0; c < t.contourCount; ++c) {
    const JWeldContour &own = t.contours[c];
    for (int32_t a = own.first; a < own.end; ++a) {
      const int32_t b = a + 1 < own.end ? a + 1 : own.first;
      if (a == b || seg[a].flags <= 0 || seg[b].flags <= 0 ||
          (seg[a].flags < kWeldSplitMark && seg[b].flags < kWeldSplitMark))
        continue;
      // The sine of half the angle between the two legs leaving the corner.
      const double la = search.length[a], lb = search.length[b];
      const double halfSine = la > 0.0 && lb > 0.0
                                  ? pointDistance((double{seg[a].x0} - seg[a].x1) / la,
                                                  (double{seg[a].y0} - seg[a].y1) / la,
                                                  (double{seg[b].x1} - seg[b].x0) / lb,
                                                  (double{seg[b].y1} - seg[b].y0) / lb) /
                                        2.0
                                  : 0.0;
      const double gap = std::min(search.tail[a], search.head[b]);
      if (!clearOfCrossing(gap * gap, halfSine, 1.0, search.step)) search.doubt(a, b);
    }
  }
}

// The live segments below end by the base segment they were cut from (a segment never cut is
// its own base), each base's in order along it, so that a pass finds those near a point without
// meeting all of them: where every piece lies within every other's stray, a base holds hundreds.
struct Descendants {
  // Those of base b are order[start[b]] up to order[start[b + 1]]: low the least position of
  // each along b, reach the greatest position of it and of those before it.
  WorkArray<int32_t> start, order;
  WorkArray<double> low, reach;

  bool build(int32_t baseCount, int32_t end) {
    const JWeldSegment *seg = weldTables.segments;
    if (!start.allocate(int64_t{baseCount} + 2) || !order.allocate(end) || !low.allocate(end) ||
        !reach.allocate(end))
      return false;
    for (int32_t i = 0; i < end; ++i)
      if (weldIsLive(seg[i].flags)) ++start[seg[i].source + 2];
    for (int32_t b = 0; b < baseCount; ++b) start[b + 2] += start[b + 1];
    for (int32_t i = 0; i < end; ++i)
      if (weldIsLive(seg[i].flags)) order[start[seg[i].source + 1]++] = i;
    // Each piece's least position first, by piece, to sort by.
    WorkArray<double> least;
    if (!least.allocate(end)) return false;
    for (int32_t b = 0; b < baseCount; ++b) {
      const int32_t from = start[b], to = start[b + 1];
      for (int32_t k = from; k < to; ++k) {
        const JWeldSegment &p = seg[order[k]];
        least[order[k]] = std::min(along(b, p.x0, p.y0), along(b, p.x1, p.y1));
      }
      std::sort(&order[from], &order[to], [&least](int32_t i, int32_t j) {
        return least[i] != least[j] ? least[i] < least[j] : i < j;
      });
      double greatest = -INFINITY;
      for (int32_t k = from; k < to; ++k) {
        const JWeldSegment &p = seg[order[k]];
        greatest = std::max({greatest, along(b, p.x0, p.y0), along(b, p.x1, p.y1)});
        low[k] = least[order[k]];
        reach[k] = greatest;
      }
    }
    return true;
  }

  // Calls visit for each piece of base b whose span along b meets that of the box.
  template <class Visit>
  void visitNear(int32_t b, const Box &box, Visit visit) const {
    const JWeldSegment &base = weldTables.segments[b];
    const double dx = double{base.x1} - base.x0, dy = double{base.y1} - base.y0;
    const double from = along(b, dx >= 0 ? box.minX : box.maxX, dy >= 0 ? box.minY : box.maxY);
    const double to = along(b, dx >= 0 ? box.maxX : box.minX, dy >= 0 ? box.maxY : box.minY);
    const double *first = std::lower_bound(&reach[start[b]], &reach[start[b + 1]], from);
    for (int64_t k = first - &reach[0]; k < start[b + 1] && low[k] <= to; ++k) visit(order[k]);
  }

 private:
  // The position of (x, y) along base b, in units of b's squared length.
  static double along(int32_t b, double x, double y) {
    const JWeldSegment &base = weldTables.segments[b];
    return (x - base.x0) * (double{base.x1} - base.x0) +
           (y - base.y0) * (double{base.y1} - base.y0);
  }
};

// One later pass: the live pieces from firstPiece up to end (in the pass after the first split,
// only those of doubtful segments) against every live segment below end, each pair once.
// Collects the cuts, then splits every segment cut. Returns the number of segments split, or -1
// when memory runs out.
int32_t splitAgainOnce(SplitSearch &search, int32_t firstPiece, int32_t end, bool doubtfulOnly) {
  WeldTables &t = weldTables;
  const JWeldSegment *seg = t.segments;
  auto checked = [&](int32_t i) {
    return i >= firstPiece && weldIsLive(seg[i].flags) &&
           (!doubtfulOnly || search.doubtful[seg[i].source]);
  };
  if (doubtfulOnly && !search.anyDoubt) return 0;
  int32_t pieces = 0;
  for (int32_t i = firstPiece; i < end; ++i) pieces += checked(i) ? 1 : 0;
  if (pieces == 0) return 0;
  Descendants descendants;
  WorkArray<int32_t> seenBy;
  if (!descendants.build(search.baseCount, end) || !seenBy.allocate(search.baseCount)) return -1;
  for (int32_t b = 0; b < search.baseCount; ++b) seenBy[b] = -1;
  CutList cuts;
  bool full = false;
  auto cut = [&](int32_t segment, int32_t other, const float *point) {
    const JWeldSegment &g = seg[segment];
    if (full || samePoint(point[0], point[1], g.x0, g.y0) ||
        samePoint(point[0], point[1], g.x1, g.y1))
      return;
    full = !cuts.add(segment, other, point[0], point[1]);
  };
  for (int32_t s = firstPiece; s < end && !full; ++s) {
    if (!checked(s)) continue;
    const Box near = grown(boxOf(seg[s]), search.stray);
    const BoxReach reach(seg[s]);
    auto meet = [&](int32_t other) {
      // Two checked pieces meet once, from the lower index.
      if (other == s || (other < s && checked(other))) return;
      if (!reach.meets(seg[other])) return;
      float point[2];
      if (weldSegmentCross(seg[std::min(s, other)], seg[std::max(s, other)], point) == 0) return;
      cut(s, other, point);
      cut(other, s, point);
    };
    // Pieces lie in their base segment's box, within stray of its line. The span along it is
    // taken a float step wider, so that rounding the positions loses no piece that touches.
    const Box along = grown(near, search.step);
    auto visitBase = [&](int32_t base) {
      if (seenBy[base] == s) return;
      seenBy[base] = s;
      if (mayMeet(seg[base], near)) descendants.visitNear(base, along, meet);
    };
    if (!search.grid.query(near, visitBase))
      for (int32_t k = 0; k < search.memberCount; ++k) visitBase(search.members[k]);
  }
  if (full) return -1;
  if (cuts.count == 0) return 0;
  // In table order of both segments, as the first pass makes them.
  std::sort(&cuts.items[0], &cuts.items[0] + cuts.count, [](const Cut &a, const Cut &b) {
    return a.segment != b.segment ? a.segment < b.segment : a.other < b.other;
  });
  return cutAll(cuts);
}

bool splitPiecesAgain(SplitSearch &search, int32_t firstPiece) {
  // Rounding makes a few new crossings, and fewer each pass. A pass that cuts more segments than
  // the one before is chasing the rounding of coordinates far apart in magnitude, where the work
  // would grow manyfold with each pass; it is the last.
  int32_t before = INT32_MAX;
  for (int32_t pass = 0; pass < kMaxSplitPasses; ++pass) {
    const int32_t end = weldTables.segmentCount;
    const int32_t split = splitAgainOnce(search, firstPiece, end, pass == 0);
    if (split <= 0) return split == 0;
    if (split > before) return true;
    before = split;
    firstPiece = end;
  }
  return true;
}

// Discards pairs of live segments, at least one of them a piece, that run exactly opposite: such
// pairs add nothing to any winding number. Each piece in index order takes the live reverse copy
// of lowest index. Two such segments lie on one line within their stray, which makes their base
// segments doubtful, so only theirs are looked at. false when the search index cannot be
// allocated.
bool cancelOppositePieces(SplitSearch &search) {
  if (!search.anyDoubt) return true;
  WeldTables &t = weldTables;
  JWeldSegment *seg = t.segments;
  auto looked = [&](int32_t i) {
    return weldIsLive(seg[i].flags) && search.doubtful[seg[i].source];
  };
  auto edges = liveEdgeIndex(seg);
  if (!edges.build(t.segmentCount, looked)) return false;
  for (int32_t a = search.baseCount; a < t.segmentCount; ++a) {
    if (!looked(a)) continue;
    for (int32_t b = edges.first({seg[a].x1, seg[a].y1, seg[a].x0, seg[a].y0}); b >= 0;
         b = edges.next(b)) {
      if (b == a || !weldIsLive(seg[b].flags)) continue;
      seg[a].flags = kWeldDiscarded;
      seg[b].flags = kWeldDiscarded;
      break;
    }
  }
  return true;
}

// Cuts kept for later segments stay within this many times the segment table, pieces included:
// a point shared by thousands of segments would otherwise keep a cut for every pair through it.
constexpr int64_t kLaterCutsPerSegment = 2;

// The table grows by at most this many times at once when the pieces made so far foretell more.
constexpr int64_t kMostGrowthAhead = 8;

// Makes room for base segment s's n cuts and, at the pace of the pieces made so far, for those
// of the segments after it: a table that only doubles clears and copies its records twice over.
// Where the foretold room cannot be had, the room needed now still may.
bool reserveAtPace(int32_t s, int32_t n, int32_t baseCount) {
  const WeldTables &t = weldTables;
  const int64_t need = int64_t{t.segmentCount} + n + 1;
  if (need <= t.segmentCapacity) return true;
  const int64_t pieces = int64_t{t.segmentCount} - baseCount + n + 1;
  const int64_t foretold = baseCount + pieces * baseCount / (int64_t{s} + 1);
  return weldReserveSegments(std::min(foretold, kMostGrowthAhead * t.segmentCapacity)) ||
         weldReserveSegments(need);
}

// The first pass: every base segment against every other that may meet it, cut at once. A pair
// is worked out from its lower segment, which keeps the later one's cuts for it while they stay
// few; past that each segment keeps only its own cuts, so that a point shared by thousands of
// segments costs time but no more memory than one segment's list.
bool cutBaseSegments(SplitSearch &search) {
  const WeldTables &t = weldTables;
  // Cutting grows the table, so the records are looked up afresh each time.
  auto seg = [](int32_t i) -> const JWeldSegment & { return weldTables.segments[i]; };
  const int32_t baseCount = search.baseCount;
  // Candidates grow with the most that one segment meets; the others hold a record a segment.
  WorkArray<int32_t> candidates, seenBy, owner;
  LaterCuts later(baseCount);
  if (!seenBy.allocate(baseCount) || !owner.allocate(baseCount)) return false;
  for (int32_t i = 0; i < baseCount; ++i) seenBy[i] = -1;
  for (int32_t c = 0; c < t.contourCount; ++c)
    for (int32_t s = t.contours[c].first; s < t.contours[c].end; ++s) owner[s] = c;
  const int32_t *members = &search.members[0];
  const double stray = search.stray;
  // Pairs whose lower segment lies below this were worked out from it alone.
  int32_t keptBelow = baseCount;
  auto metBefore = [&](int32_t s, int32_t other) { return other < s && other < keptBelow; };
  CutList cuts;
  for (int32_t c = 0; c < t.contourCount; ++c) {
    const JWeldContour &own = t.contours[c];
    const int32_t ownSegments = own.end - own.first;
    for (int32_t s = own.first; s < own.end; ++s) {
      if (seg(s).flags <= 0) continue;
      cuts.count = 0;
      if (!later.takeInto(s, cuts)) return false;
      int32_t count = 0;
      bool full = false;
      const BoxReach reach(seg(s));
      const bool indexed =
          search.grid.querySegment(seg(s), std::min(s, keptBelow), [&](int32_t other) {
            if (full || other == s || metBefore(s, other) || seenBy[other] == s) return;
            seenBy[other] = s;
            if (!reach.meets(seg(other), stray)) return;
            full = !candidates.reserve(int64_t{count} + 1);
            if (!full) candidates[count++] = other;
          });
      if (full || !candidates.reserve(1)) return false;
      const int32_t *visit = &candidates[0];
      if (indexed) {
        // Those of one cell come in table order already.
        if (!std::is_sorted(&candidates[0], &candidates[0] + count))
          std::sort(&candidates[0], &candidates[0] + count);
      } else {
        visit = members;
        count = search.memberCount;
      }
      const bool keeping = s < keptBelow;
      for (int32_t k = 0; k < count; ++k) {
        const int32_t other = visit[k];
        const int32_t j = owner[other];
        if (other == s || metBefore(s, other) ||
            (j != c && !contoursOverlap(own, t.contours[j], stray)))
          continue;
        // Neighbours share a corner; markCrowdedCorners looks after them.
        const int32_t apart = std::abs(other - s);
        if (j == c && (apart <= 1 || apart == ownSegments - 1)) continue;
        if (!indexed && !reach.meets(seg(other), stray)) continue;
        if (!addCuts(s, other, search, cuts, keeping && other > s ? &later : nullptr)) return false;
      }
      if (keeping && later.held() > kLaterCutsPerSegment * t.segmentCount) keptBelow = s + 1;
      const int32_t n = static_cast<int32_t>(cuts.count);
      if (n == 0) continue;
      if (!reserveAtPace(s, n, baseCount)) return false;
      CrowdMarks crowding(s, &cuts.items[0], n, search);
      if (!search.crossedBy.reserve(t.segmentCapacity) ||
          !cutSegment(s, &cuts.items[0], n, crowding))
        return false;
      crowding.finish();
    }
  }
  return true;
}

}  // namespace

bool weldSplitAtCrossings() {
  WeldTables &t = weldTables;
  SplitSearch search;
  const int32_t baseCount = search.baseCount = t.segmentCount;
  if (!search.members.allocate(baseCount) || !search.doubtful.allocate(baseCount)) return false;
  double largest = 0.0;
  for (int32_t i = 0; i < baseCount; ++i) {
    const JWeldSegment &s = t.segments[i];
    if (s.flags <= 0) continue;
    search.members[search.memberCount++] = i;
    largest = std::max({largest, std::fabs(double{s.x0}), std::fabs(double{s.y0}),
                        std::fabs(double{s.x1}), std::fabs(double{s.y1})});
  }
  search.step = floatStepAt(largest);
  search.stray = kStraySteps * search.step;
  if (!search.length.allocate(baseCount) || !search.head.allocate(baseCount) ||
      !search.tail.allocate(baseCount))
    return false;
  for (int32_t i = 0; i < baseCount; ++i) {
    const JWeldSegment &s = t.segments[i];
    search.length[i] = search.head[i] = search.tail[i] =
        static_cast<float>(pointDistance(s.x0, s.y0, s.x1, s.y1));
  }
  if (!search.grid.build(&search.members[0], search.memberCount, search.stray) ||
      !cutBaseSegments(search))
    return false;
  markCrowdedCorners(search);
  markOnward(search, t.segmentCount);
  if (!splitPiecesAgain(search, baseCount)) return false;
  discardNonLive();
  return cancelOppositePieces(search);
}

namespace {

// Whether some segment of the contour was cut into pieces or cancelled. The segments it kept
// whole then lie in different regions, between crossings or beyond one that met a corner
// exactly, and no line need pass them: the ones left unmet cast lines of their own.
bool lostSegments(const JWeldContour &contour) {
  for (int32_t s = contour.first; s < contour.end; ++s)
    if (weldTables.segments[s].flags == kWeldDiscarded) return true;
  return false;
}

}  // namespace

bool weldClassify() {
  WeldTables &t = weldTables;
  const int32_t last = t.contourCount;
  JWeldContour &pseudo = t.contours[last];
  pseudo = {};
  pseudo.first = last > 0 ? t.contours[last - 1].end : 0;
  pseudo.end = t.segmentCount;
  ProbeTools tools;
  // After splitting, segments meet only at their ends, so the winding on either side of one is
  // the same all along it and the first line that meets it decides it as its own line would:
  // it casts none. Rule 1 does not probe the contours that were not split and leaves them to
  // whichever lines of pieces pass them, so there every piece still casts its line.
  tools.skipMet = t.rule != JWM_UNION;
  if (!tools.keys.allocate(kFirstCrossings) || !tools.met.allocate(t.segmentCount) ||
      !tools.onward.allocate(t.segmentCount) || !tools.probed.allocate())
    return false;
  constexpr int16_t kOnwardBits = JWS_ONWARD | JWS_ONWARD_DOWN;
  for (int32_t i = 0; i < t.segmentCount; ++i) {
    JWeldSegment &s = t.segments[i];
    if (!weldIsLive(s.flags) || !(s.flags & JWS_ONWARD)) continue;
    tools.onward[i] = (s.flags & JWS_ONWARD_DOWN) ? -1 : 1;
    s.flags = static_cast<int16_t>(s.flags & ~kOnwardBits);
  }
  for (int32_t c = t.rule == JWM_UNION ? last : 0; c <= last; ++c) {
    for (int32_t s = t.contours[c].first; s < t.contours[c].end; ++s) {
      if (t.segments[s].flags <= 0) continue;
      if (!(tools.skipMet && tools.met[s]) && !probeSegment(s, tools)) return false;
      // A contour that was not split stands or falls whole, so one probe decides it. The fill
      // rules also decide the direction of every segment, so they probe each one.
      if (c != last && !isFillRule(t.rule)) break;
    }
  }
  // The segments that a split contour kept whole and that no line has met yet.
  for (int32_t c = 0; c < last; ++c) {
    if (!lostSegments(t.contours[c])) continue;
    for (int32_t s = t.contours[c].first; s < t.contours[c].end; ++s)
      if (t.segments[s].flags > 0 && !tools.met[s] && !probeSegment(s, tools)) return false;
  }
  // In a batch of rule 1, a segment that no line met stands as it is, yet a line cast from
  // another batch might meet it and remove it. Lines that only check meet every such segment; a
  // batch where one would go leaves the decision to the whole path. Any line meeting a segment
  // decides it alike, as the winding beside it is the same all along it.
  if (t.rule == JWM_UNION && t.checkLines) {
    tools.checkOnly = true;
    for (int32_t s = 0; s < t.segmentCount; ++s)
      if (t.segments[s].flags > 0 && !tools.met[s] && !probeSegment(s, tools)) {
        t.wholeNeeded = tools.wouldRemove;
        return false;
      }
  }
  discardNonLive();
  // Under a fill rule the contours may run either way; turning every kept segment so that the
  // filled side lies on its right lets tracing join them into consistent outlines.
  for (int32_t i = 0; i < t.segmentCount; ++i) {
    JWeldSegment &s = t.segments[i];
    if (!weldIsLive(s.flags) || !(s.flags & JWS_REVERSE)) continue;
    const int16_t corners =
        static_cast<int16_t>(((s.flags & JWS_START_CORNER) ? JWS_END_CORNER : 0) |
                             ((s.flags & JWS_END_CORNER) ? JWS_START_CORNER : 0));
    s = {static_cast<int16_t>(JWS_LIVE | corners), s.x1, s.y1, s.x0, s.y0, s.source};
  }
  return true;
}

namespace {

// Where the pieces of several segments meet within a few float steps, rounding can leave a
// chain's end without a live piece starting exactly there, although one starts a step or two
// away; dropping the chain would lose a whole outline over a crumb. The chain goes on from the
// nearest live piece within this many float steps of the largest coordinate.
constexpr double kTraceGapSteps = 16.0;

// Live pieces by the x of their start, searched only when a chain meets a dead end.
class NearStarts {
 public:
  // The nearest live piece starting within gap of (x, y), or -1.
  int32_t nearest(float x, float y) {
    if (!ready()) return -1;
    const JWeldSegment *seg = weldTables.segments;
    const int32_t *lo = std::lower_bound(&order_[0], &order_[0] + count_, double{x} - gap_,
                                         [seg](int32_t i, double v) { return seg[i].x0 < v; });
    int32_t best = -1;
    double bestDistance = gap_;
    for (const int32_t *k = lo; k < &order_[0] + count_ && seg[*k].x0 <= double{x} + gap_; ++k) {
      const double d =
          std::max(std::fabs(double{seg[*k].x0} - x), std::fabs(double{seg[*k].y0} - y));
      if (weldIsLive(seg[*k].flags) && d <= bestDistance && isOrphan(*k)) {
        best = *k;
        bestDistance = d;
      }
    }
    return best;
  }
  // 0 when the index could not be made.
  double gap() { return ready() ? gap_ : 0.0; }

 private:
  // Builds the index on first use; false when memory ran out.
  bool ready() {
    if (!built_) {
      built_ = true;
      usable_ = build();
    }
    return usable_;
  }
  bool build() {
    const WeldTables &t = weldTables;
    const JWeldSegment *seg = t.segments;
    if (!order_.allocate(t.segmentCount)) return false;
    double largest = 0.0;
    for (int32_t i = 0; i < t.segmentCount; ++i) {
      largest = std::max({largest, std::fabs(double{seg[i].x0}), std::fabs(double{seg[i].y0})});
      if (weldIsLive(seg[i].flags)) order_[count_++] = i;
    }
    std::sort(&order_[0], &order_[0] + count_,
              [seg](int32_t a, int32_t b) { return seg[a].x0 < seg[b].x0; });
    // Every piece kept by the classification, traced already or not.
    if (!ends_.allocate(t.segmentCount)) return false;
    for (int32_t i = 0; i < t.segmentCount; ++i)
      if (seg[i].flags != kWeldDiscarded) ends_[endCount_++] = i;
    std::sort(&ends_[0], &ends_[0] + endCount_, [seg](int32_t a, int32_t b) {
      return seg[a].x1 != seg[b].x1 ? seg[a].x1 < seg[b].x1 : seg[a].y1 < seg[b].y1;
    });
    gap_ = kTraceGapSteps *
           (std::nextafter(static_cast<float>(largest), INFINITY) - static_cast<float>(largest));
    return true;
  }

  // Whether no kept piece ends where piece i starts: only such a broken start may continue a
  // chain that met a dead end, so that no sound outline loses a piece to a stranger.
  bool isOrphan(int32_t i) {
    const JWeldSegment *seg = weldTables.segments;
    const float x = seg[i].x0, y = seg[i].y0;
    const int32_t *at = std::lower_bound(
        &ends_[0], &ends_[0] + endCount_, i,
        [seg, x, y](int32_t k, int32_t) { return seg[k].x1 != x ? seg[k].x1 < x : seg[k].y1 < y; });
    return at == &ends_[0] + endCount_ || seg[*at].x1 != x || seg[*at].y1 != y;
  }

  bool built_ = false, usable_ = false;
  WorkArray<int32_t> order_, ends_;
  int32_t count_ = 0, endCount_ = 0;
  double gap_ = 0.0;
};

}  // namespace

bool weldTrace(JVect *path) {
  WeldTables &t = weldTables;
  JWeldSegment *seg = t.segments;
  NearStarts near;
  int64_t live = 0;
  for (int32_t i = 0; i < t.segmentCount; ++i) live += weldIsLive(seg[i].flags) ? 1 : 0;
  // Each chain writes its start point and one point per segment: room for all of them now
  // means no append below can fail.
  if (2 * live > path->capacity &&
      jVectExpand(path, static_cast<int32_t>(2 * live - path->capacity)) != 1)
    return false;
  auto starts = makeExactIndex<2>([seg](int32_t i) {
    return std::array<float, 2>{seg[i].x0, seg[i].y0};
  });
  if (!starts.build(t.segmentCount, [seg](int32_t i) { return weldIsLive(seg[i].flags); }))
    return false;
  jVectClear(path);
  // With the room made above, points go straight into the cleared records.
  auto append = [path](int16_t mode, float x, float y) {
    path->points[path->count++] = JVectPoint{mode, x, y, 0};
  };
  for (int32_t first = 0; first < t.segmentCount; ++first) {
    if (!weldIsLive(seg[first].flags) || !(seg[first].flags & JWS_START_CORNER)) continue;
    const int32_t mark = jVectGetNum(path);
    append(JVM_START, seg[first].x0, seg[first].y0);
    append((seg[first].flags & JWS_END_CORNER) ? JVM_LINE : JVM_SVT, seg[first].x1, seg[first].y1);
    seg[first].flags = 0;
    int32_t current = first;
    for (;;) {
      // At a crossing the chain turns onto the other segment's continuation when it survived.
      int32_t turn = -1, straight = -1;
      for (int32_t k = starts.first({seg[current].x1, seg[current].y1}); k >= 0;
           k = starts.next(k)) {
        if (!weldIsLive(seg[k].flags)) continue;
        if (seg[k].source != seg[current].source) {
          turn = k;
          break;
        }
        if (straight < 0) straight = k;
      }
      int32_t next = turn >= 0 ? turn : straight;
      if (next < 0 && !samePoint(seg[current].x1, seg[current].y1, seg[first].x0, seg[first].y0))
        next = near.nearest(seg[current].x1, seg[current].y1);
      if (next < 0) break;
      const int16_t flags = seg[next].flags;
      const int16_t mode = !(flags & JWS_END_CORNER)    ? JVM_SVT
                           : (flags & JWS_START_CORNER) ? JVM_LINE
                                                        : JVM_SVT_END;
      append(mode, seg[next].x1, seg[next].y1);
      seg[next].flags = 0;
      current = next;
    }
    const int32_t appended = jVectGetNum(path) - mark;
    bool closed = samePoint(seg[current].x1, seg[current].y1, seg[first].x0, seg[first].y0);
    if (!closed && appended > 3 &&
        std::max(std::fabs(double{seg[current].x1} - seg[first].x0),
                 std::fabs(double{seg[current].y1} - seg[first].y0)) <= near.gap()) {
      append(JVM_LINE, seg[first].x0, seg[first].y0);
      closed = true;
    }
    if (appended <= 3 || !closed) jVectRewindPoint(path, jVectGetNum(path) - mark);
  }
  return true;
}

}  // namespace outlina

using namespace outlina;

namespace {

// Whether the traced result needs the nesting count of orientation rule 1. Where every contour
// is probed and the kept side of each segment is the side of higher winding (rules 2 and 4),
// or the fill rules turned each kept segment, every outline already runs with its region on its
// right. The nesting count would only disturb outlines that touch at a point, whose start points
// lie on one another and count as inside or outside by a float step.
bool needsOrientation(int32_t rule) { return rule == JWM_UNION || rule == JWM_HOLE; }

// One batch of the combine, on tables emptied of the batch before.
bool combineStages(JVect *path, void *) {
  weldTables.contourCount = 0;
  weldTables.segmentCount = 0;
  weldTables.unevenCancel = false;
  // A batch that holds the whole path has no other batch to hear from.
  weldTables.checkLines = path->count < weldTables.batchedRecords;
  return weldBuildSegments(path) && weldCancelSharedEdges() && weldSplitAtCrossings() &&
         weldClassify() && weldTrace(path);
}

}  // namespace

bool outlina::weldStagesByRule(JVect *path, BatchWork stages) {
  // Rule 1 tries the batches too, for the memory and time of a large path, and combines the
  // path whole where a batch finds that lines from elsewhere could change it.
  WeldTables &t = weldTables;
  const bool apart = weldCombinesApart(t.rule);
  const bool ruleOneInBatches = !apart && path->count > weldBatchPoints;
  t.batchedRecords = ruleOneInBatches ? path->count : 0;
  t.wholeNeeded = false;
  bool done = apart || ruleOneInBatches ? weldInBatches(path, stages) : stages(path, nullptr);
  t.batchedRecords = 0;
  if (!done && t.wholeNeeded) done = stages(path, nullptr);
  return done;
}

namespace {

int32_t combineByRule(JVect *path, int32_t rule) {
  if (path == nullptr || !weldAllocTables()) return 0;
  weldTables.rule = rule;
  int32_t result = 0;
  if (jVectBezToSvt(path, JVF_CURVES) == 1) {
    jVectSweepPoint(path);
    jVectDelNoise(path);
    if (weldStagesByRule(path, combineStages)) {
      if (needsOrientation(rule)) jVectSetLoopDir(path, JVLR_OUTER_NEGATIVE);
      result = 1;
    }
  }
  weldFreeTables();
  return result;
}

}  // namespace

extern "C" int32_t jWeldCombineVect(JVect *path, int32_t mode) {
  const bool known = mode >= JWM_UNION && mode <= JWM_UNION_ALL;
  return combineByRule(path, known ? mode : JWM_UNION_ALL);
}

extern "C" int32_t jWeldFillVect(JVect *path, int32_t fillRule) {
  if (fillRule != JWF_NONZERO && fillRule != JWF_EVENODD) return 0;
  return combineByRule(path, fillRule == JWF_NONZERO ? kWeldFillNonzero : kWeldFillEvenOdd);
}
