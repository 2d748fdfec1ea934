#include "weld/finish.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "frame/work_array.h"
#include "outlina/curve.h"
#include "outlina/fit.h"
#include "weld/batches.h"

namespace outlina {

namespace {

// A contour whose box is smaller than this share of the whole path's box on both axes is a
// crumb left by a fold or by rounding: far out on the sheet a float step is about a ten-thousandth
// of a millimetre, so such crumbs come and go with the position, and nobody can see them (on a
// line of text 400 mm long, 0.028 mm). At 5e-5 the inner round offset of 0.4 mm on a 360 mm text
// left a real 18 um triangle within a float step of the limit, kept at one place and not another.
constexpr double kCrumbShare = 7e-5;
// A closed contour needs a triangle's three corners and the point that closes it.
constexpr int32_t kFewestEnclosingPoints = 4;

// Removes every contour s..e for which drop(s, e) holds.
template <class Drop>
void dropContours(JVect *path, Drop drop) {
  bool dropped = false;
  for (int32_t s = 0; s < jVectGetNum(path);) {
    const int32_t e = jVectGetEndPos(path, s);
    if (drop(s, e)) {
      for (int32_t i = s; i <= e; ++i) jVectInvalidPoint(path, i);
      dropped = true;
    }
    s = e + 1;
  }
  if (dropped) jVectSweepPoint(path);
}

void dropCrumbs(JVect *path) {
  if (jVectGetNum(path) == 0) return;
  float all[4];
  jVectGetMinMax(all, path, JVECT_ALL);
  const double limit = std::max(double{all[2]} - all[0], double{all[3]} - all[1]) * kCrumbShare;
  dropContours(path, [&](int32_t s, int32_t) {
    float box[4];
    jVectGetMinMax(box, path, s);
    return double{box[2]} - box[0] < limit && double{box[3]} - box[1] < limit;
  });
}

// A ring whose area is less than that of a strip this share of the closeness wide along half its
// length runs out and back along one line, a fold that rounding left and one position keeps and
// another not. Thin slivers a little wider are drawn: the cast shadow squashes letters into them.
constexpr double kFlatWidths = 0.25;

// Whether the closed contour s..e is flat by kFlatWidths of eps.
bool isFlat(const JVectPoint *v, int32_t s, int32_t e, double eps) {
  if (v[e].x != v[s].x || v[e].y != v[s].y) return false;
  double twice = 0.0, length = 0.0;
  for (int32_t i = s; i < e; ++i) {
    twice += double{v[i].x} * v[i + 1].y - double{v[i + 1].x} * v[i].y;
    length += std::hypot(double{v[i + 1].x} - v[i].x, double{v[i + 1].y} - v[i].y);
  }
  return std::fabs(twice) <= length * kFlatWidths * eps;
}

void dropFlat(JVect *path, double eps) {
  dropContours(path, [&](int32_t s, int32_t e) { return isFlat(path->points, s, e, eps); });
}

// Two edges that run back along each other closer than this many float steps of the coordinates
// where the work lay enclose a sliver that only rounding made: two inner offsets that meet
// exactly overlap by half a step at one place and leave a gap of half a step at another, and
// the sliver would join two outlines or not depending on the place. Wider slivers are drawn.
constexpr double kSliverSteps = 1.0;
// Coordinates 2,000 mm out on the sheet round to about a millionth of a 250 mm line of text: for
// work that size and larger, what is close no longer depends on where on such a sheet it lies.
constexpr double kCloseShare = 1e-6;
// Only a sliver running this many times its width limit counts: the zigzag points at the tip of a
// stroke that an inner offset all but closes lie as close, but there cutting would keep the tip
// as a crumb of its own.
constexpr double kSliverRunWidths = 64.0;
// Two rings that run back along each other over this many widths touch along an edge rather than
// at a point, and joining them cannot leave a crumb: a shadow's gap that opens onto a letter it
// was cut from is closed off by a wall that short at one place and open at another.
constexpr double kCrackRunWidths = 4.0;

// Contours further apart than this many closenesses are tidied apart, a batch at a time: every
// tidy reaches out one closeness at most, and the other is margin.
constexpr double kApartClosenesses = 2.0;

constexpr int32_t kNoRing = -1;
constexpr int32_t kRingEnd = -2;
constexpr int32_t kRemoved = -3;

// One edge of a closed contour, from point `from` to its successor, with its box.
struct Edge {
  int32_t from;
  float minX, maxX, minY, maxY;
};

// Whether the edges a->b and c->d run opposite along one line within eps of each other over a
// stretch of `run` or more.
bool runBack(const JVectPoint &a, const JVectPoint &b, const JVectPoint &c, const JVectPoint &d,
             double eps, double run) {
  const double ux = double{b.x} - a.x, uy = double{b.y} - a.y;
  const double wx = double{d.x} - c.x, wy = double{d.y} - c.y;
  const double lu = std::hypot(ux, uy), lw = std::hypot(wx, wy);
  if (!(lu >= run && lw >= run) || ux * wx + uy * wy >= 0) return false;
  auto off = [](const JVectPoint &p, const JVectPoint &o, double dx, double dy, double l) {
    return std::fabs((double{p.x} - o.x) * dy - (double{p.y} - o.y) * dx) / l;
  };
  if (off(c, a, ux, uy, lu) > eps || off(d, a, ux, uy, lu) > eps || off(a, c, wx, wy, lw) > eps ||
      off(b, c, wx, wy, lw) > eps)
    return false;
  // Along a->b, d comes before c.
  const double tc = ((double{c.x} - a.x) * ux + (double{c.y} - a.y) * uy) / lu;
  const double td = ((double{d.x} - a.x) * ux + (double{d.y} - a.y) * uy) / lu;
  return std::min(lu, tc) - std::max(0.0, td) >= run;
}

// Every closed contour of three edges or more as a ring of successors: next[i] follows point i.
// The closing point of a ring is marked kRingEnd; points of other contours kNoRing.
int32_t buildRings(const JVect *path, WorkArray<int32_t> &next, WorkArray<int32_t> &startOf) {
  const JVectPoint *v = path->points;
  int32_t members = 0;
  for (int32_t s = 0; s < path->count;) {
    const int32_t e = jVectGetEndPos(path, s);
    const bool ring = v[s].mode == JVM_START && e - s >= 3 && v[e].x == v[s].x && v[e].y == v[s].y;
    for (int32_t i = s; i <= e; ++i) {
      next[i] = !ring ? kNoRing : i == e ? kRingEnd : i + 1 < e ? i + 1 : s;
      startOf[i] = s;
    }
    members += ring ? e - s : 0;
    s = e + 1;
  }
  return members;
}

// Twice the signed area of the ring through point `from`, and whether `other` lies on it.
double ringArea(const JVectPoint *v, const int32_t *next, int32_t from, int32_t other,
                bool &holdsOther) {
  double twice = 0.0;
  holdsOther = false;
  int32_t k = from;
  do {
    const int32_t n = next[k];
    twice += double{v[k].x} * v[n].y - double{v[n].x} * v[k].y;
    holdsOther = holdsOther || k == other;
    k = n;
  } while (k != from);
  return twice;
}

// Whether joining a and c keeps the rings substantial: a join within one ring, allowed only when
// it may cut, must leave two rings of some area, so that a needle of a stroke that an inner offset
// all but closes stays whole rather than losing its middle.
bool joinKeepsRings(const JVectPoint *v, const int32_t *next, int32_t a, int32_t c, double run,
                    bool mayCut) {
  bool same = false;
  const double first = ringArea(v, next, a, c, same);
  if (same) return true;  // two rings became one
  if (!mayCut) return false;
  const double second = ringArea(v, next, c, a, same);
  const double least = 2.0 * run * run;
  return std::fabs(first) >= least && std::fabs(second) >= least;
}

// Items sorted by where they start along x, by the horizontal bands their extents across y
// (grown by a reach) cover, so that an item meets the items beside it rather than every item of
// its column: a long text stacks a hundred lines in every column.
class SweepBands {
 public:
  // An item's extent across y.
  struct Across {
    double lo, hi;
  };
  // across(k) gives item k's extent. false when memory runs out.
  template <class AcrossOf>
  bool build(int32_t count, double reach, AcrossOf across) {
    reach_ = reach;
    double lo = INFINITY, hi = -INFINITY, extent = 0.0;
    for (int32_t k = 0; k < count; ++k) {
      const Across a = across(k);
      lo = std::min(lo, a.lo - reach);
      hi = std::max(hi, a.hi + reach);
      extent += a.hi - a.lo + 2.0 * reach;
    }
    // Bands twice a typical item high hold most items in one or two; a work too wide for
    // finite arithmetic stays one band.
    const double n = std::max(count, 1);
    height_ = std::max(2.0 * extent / n, (hi - lo) / n);
    origin_ = lo;
    bands_ = std::isfinite(height_) && height_ > 0.0 && std::isfinite(hi - lo)
                 ? static_cast<int64_t>(std::min((hi - lo) / height_, n)) + 1
                 : 1;
    if (!start_.allocate(bands_ + 1) || !tall_.allocate(count)) return false;
    int64_t stored = 0;
    for (int32_t k = 0; k < count; ++k) {
      const Span s = spanOf(across(k));
      if (s.last - s.first >= kMaxBandsPerItem) {
        tall_[tallCount_++] = k;
        continue;
      }
      stored += s.last - s.first + 1;
      for (int64_t b = s.first; b <= s.last; ++b) ++start_[b];
    }
    if (!entries_.allocate(stored)) return false;
    for (int64_t b = 0; b < bands_; ++b) start_[b + 1] += start_[b];
    for (int32_t k = count - 1; k >= 0; --k) {
      const Span s = spanOf(across(k));
      if (s.last - s.first >= kMaxBandsPerItem) continue;
      for (int64_t b = s.first; b <= s.last; ++b) entries_[--start_[b]] = k;
    }
    return true;
  }
  // Puts into out, in order and once each, the items q after p, while alongside(q) holds, that
  // may lie within the reach of p across y; a tall item p takes every item alongside it. Returns
  // their number, or -1 when memory runs out.
  template <class AcrossOf, class Alongside>
  int32_t after(int32_t count, int32_t p, AcrossOf across, Alongside alongside,
                WorkArray<int32_t> &out) const {
    int32_t found = 0;
    bool full = false;
    auto take = [&](int32_t q) {
      full = full || !out.reserve(int64_t{found} + 1);
      if (!full) out[found++] = q;
    };
    const Span s = spanOf(across(p));
    if (s.last - s.first >= kMaxBandsPerItem) {
      for (int32_t q = p + 1; q < count && alongside(q); ++q) take(q);
      return full ? -1 : found;
    }
    auto fromList = [&](const int32_t *first, const int32_t *end) {
      for (const int32_t *q = std::upper_bound(first, end, p); q < end && alongside(*q); ++q)
        take(*q);
    };
    for (int64_t b = s.first; b <= s.last; ++b)
      fromList(&entries_[0] + start_[b], &entries_[0] + start_[b + 1]);
    fromList(&tall_[0], &tall_[0] + tallCount_);
    if (full) return -1;
    if (found == 0) return 0;
    // In the order of the sorted items, as a scan along them would meet them.
    std::sort(&out[0], &out[0] + found);
    return static_cast<int32_t>(std::unique(&out[0], &out[0] + found) - &out[0]);
  }

 private:
  // An item spanning more bands than this is looked at by every item instead.
  static constexpr int64_t kMaxBandsPerItem = 64;
  struct Span {
    int64_t first, last;
  };
  int64_t bandOf(double y) const {
    const double b = std::floor((y - origin_) / height_);
    return b >= 0.0 ? static_cast<int64_t>(std::min(b, static_cast<double>(bands_ - 1))) : 0;
  }
  Span spanOf(const Across &a) const {
    return bands_ == 1 ? Span{0, 0} : Span{bandOf(a.lo - reach_), bandOf(a.hi + reach_)};
  }

  double origin_ = 0.0, height_ = 1.0, reach_ = 0.0;
  int64_t bands_ = 1;
  WorkArray<int32_t> start_, entries_, tall_;
  int32_t tallCount_ = 0;
};

// Joins the ends of every pair of edges that run back along each other within eps: a->b and
// c->d become a->d and c->b, which cuts a sliver out of one contour or closes a crack between
// two. Returns the number of pairs joined, or -1 when memory runs out.
int32_t joinSlivers(const JVect *path, int32_t *next, int32_t members, double eps) {
  const JVectPoint *v = path->points;
  WorkArray<Edge> edges;
  if (!edges.allocate(members)) return -1;
  int32_t count = 0;
  for (int32_t i = 0; i < path->count; ++i) {
    if (next[i] < 0) continue;
    // Copies: the records are packed.
    const float ax = v[i].x, ay = v[i].y, bx = v[next[i]].x, by = v[next[i]].y;
    edges[count++] = {i, std::min(ax, bx), std::max(ax, bx), std::min(ay, by), std::max(ay, by)};
  }
  std::sort(&edges[0], &edges[0] + count, [](const Edge &l, const Edge &r) {
    return l.minX != r.minX ? l.minX < r.minX : l.from < r.from;
  });
  auto across = [&](int32_t k) { return SweepBands::Across{edges[k].minY, edges[k].maxY}; };
  SweepBands bands;
  WorkArray<int32_t> near;
  if (!bands.build(count, eps, across)) return -1;
  int32_t joined = 0;
  for (int32_t p = 0; p < count; ++p) {
    const Edge &e = edges[p];
    auto alongside = [&](int32_t q) { return edges[q].minX <= e.maxX + eps; };
    const int32_t found = bands.after(count, p, across, alongside, near);
    if (found < 0) return -1;
    for (int32_t k = 0; k < found; ++k) {
      const Edge &f = edges[near[k]];
      if (f.minY > e.maxY + eps || f.maxY < e.minY - eps) continue;
      const int32_t a = e.from, b = next[a], c = f.from, d = next[c];
      // An edge already rejoined has gone; neighbours share a point and are no sliver.
      if (b == c || d == a) continue;
      const bool sliver = runBack(v[a], v[b], v[c], v[d], eps, kSliverRunWidths * eps);
      if (!sliver && !runBack(v[a], v[b], v[c], v[d], eps, kCrackRunWidths * eps)) continue;
      next[a] = d;
      next[c] = b;
      if (!joinKeepsRings(v, next, a, c, kSliverRunWidths * eps, sliver)) {
        next[a] = b;
        next[c] = d;
        continue;
      }
      ++joined;
      break;
    }
  }
  return joined;
}

// Whether the path a -> b -> c turns back at b along one line: the nearer of a and c lies within
// eps of the line through the longer edge, on the side that runs back.
bool foldsBack(const JVectPoint &a, const JVectPoint &b, const JVectPoint &c, double eps) {
  const double ux = double{b.x} - a.x, uy = double{b.y} - a.y;
  const double wx = double{c.x} - b.x, wy = double{c.y} - b.y;
  const double lu = std::hypot(ux, uy), lw = std::hypot(wx, wy);
  if (lu == 0 || lw == 0 || ux * wx + uy * wy >= 0) return false;
  return std::fabs(ux * wy - uy * wx) <= std::max(lu, lw) * eps;
}

// Takes out every point at which a ring runs out and straight back, within eps, and the points
// that this brings to a fold in turn. The combine leaves such spikes where crossings rounded a
// float step off a shared edge; the foot of a spike is where two rings meet at one place and
// pass each other at another. Returns the number of points taken out, or -1 when memory runs
// out.
int32_t removeSpikes(JVect *path, int32_t *next, double eps) {
  JVectPoint *v = path->points;
  WorkArray<int32_t> prev, pending;
  // Each point taken out queues two in place of one: never more than twice the points wait.
  if (!prev.allocate(path->count) || !pending.allocate(2 * int64_t{path->count})) return -1;
  int32_t waiting = 0;
  for (int32_t i = 0; i < path->count; ++i)
    if (next[i] >= 0) {
      prev[next[i]] = i;
      pending[waiting++] = i;
    }
  int32_t removed = 0;
  while (waiting > 0) {
    const int32_t b = pending[--waiting];
    if (next[b] < 0) continue;  // taken out after it was queued
    const int32_t a = prev[b], c = next[b];
    if (a == c || !foldsBack(v[a], v[b], v[c], eps)) continue;
    next[a] = c;
    prev[c] = a;
    next[b] = kRemoved;
    // A curve that ran into the spike's tip ends at its foot now, and is fitted as before.
    if (v[b].mode != JVM_SVT && v[a].mode == JVM_SVT) v[a].mode = JVM_SVT_END;
    ++removed;
    // Both neighbours can fold now.
    pending[waiting++] = a;
    pending[waiting++] = c;
  }
  return removed;
}

// Splits every ring that passes twice through one point, within eps, into two rings there: i -> a
// and j -> b become i -> b and j -> a. Two pieces that touch at a corner come out of the combine as
// one figure of eight or as two contours depending on how rounding fell; kept apart always, they
// count the same anywhere on the sheet. Returns the number of splits, or -1 when memory runs out.
int32_t splitPinches(const JVect *path, int32_t *next, int32_t members, double eps) {
  const JVectPoint *v = path->points;
  WorkArray<int32_t> order, ring;
  if (!order.allocate(members) || !ring.allocate(path->count)) return -1;
  int32_t count = 0;
  for (int32_t i = 0; i < path->count; ++i) {
    ring[i] = kNoRing;
    if (next[i] >= 0) order[count++] = i;
  }
  for (int32_t p = 0; p < count; ++p)
    for (int32_t k = order[p]; ring[k] == kNoRing; k = next[k]) ring[k] = order[p];
  std::sort(&order[0], &order[0] + count,
            [v](int32_t l, int32_t r) { return v[l].x != v[r].x ? v[l].x < v[r].x : l < r; });
  auto across = [&](int32_t k) {
    const double y = v[order[k]].y;
    return SweepBands::Across{y, y};
  };
  SweepBands rows;
  WorkArray<int32_t> near;
  if (!rows.build(count, eps, across)) return -1;
  int32_t splits = 0;
  int32_t fresh = path->count;  // labels of the rings that splits make
  for (int32_t p = 0; p < count; ++p) {
    const int32_t i = order[p];
    auto alongside = [&](int32_t q) { return double{v[order[q]].x} - v[i].x <= eps; };
    const int32_t found = rows.after(count, p, across, alongside, near);
    if (found < 0) return -1;
    for (int32_t n = 0; n < found; ++n) {
      const int32_t j = order[near[n]];
      if (std::fabs(double{v[j].y} - v[i].y) > eps || ring[i] != ring[j] || next[i] == j ||
          next[j] == i)
        continue;
      std::swap(next[i], next[j]);
      // Walking both new rings in step finds the smaller one, which takes a new label: a ring that
      // passes one point thousands of times costs no more than sorting its points.
      int32_t x = next[i], y = next[j];
      while (x != i && y != j) {
        x = next[x];
        y = next[y];
      }
      const int32_t from = x == i ? i : j;
      int32_t k = from;
      do {
        ring[k] = fresh;
        k = next[k];
      } while (k != from);
      ++fresh;
      ++splits;
    }
  }
  return splits;
}

// The float step of the largest coordinate the path had where it lay, centre added back.
double placedStep(const float box[4], Centre where) {
  const double reach = std::max({std::fabs(double{box[0]}), std::fabs(double{box[1]}),
                                 std::fabs(double{box[2]}), std::fabs(double{box[3]})});
  const float largest =
      static_cast<float>(reach + std::max(std::fabs(double{where.x}), std::fabs(double{where.y})));
  return double{std::nextafter(largest, INFINITY)} - largest;
}

// How close edges and points must come to be tidied. Slivers are cut within a float step where
// the work lay. Spikes, pinches and flat rings are judged within `point`, never less than a share
// of the work's size, so that one that rounding far out on the sheet leaves is judged alike at the
// origin, where the same shape is drawn finer.
struct Closeness {
  double sliver, point;
};

Closeness closeness(const JVect *path, Centre where) {
  if (jVectGetNum(path) == 0) return {0, 0};
  float box[4];
  jVectGetMinMax(box, path, JVECT_ALL);
  const double size = std::max(double{box[2]} - box[0], double{box[3]} - box[1]);
  const double step = kSliverSteps * placedStep(box, where);
  return {step, std::max(step, kCloseShare * size)};
}

// Cuts the slivers that rounding left between edges running back along each other and splits the
// rings that pass twice through one point, then writes the rings again. False when memory runs
// out.
bool cutSlivers(JVect *path, Closeness close) {
  const int32_t n = jVectGetNum(path);
  if (n == 0) return true;
  WorkArray<int32_t> next, startOf;
  if (!next.allocate(n) || !startOf.allocate(n)) return false;
  const int32_t members = buildRings(path, next, startOf);
  const int32_t spikes = removeSpikes(path, &next[0], close.point);
  const int32_t slivers = spikes < 0 ? -1 : joinSlivers(path, &next[0], members, close.sliver);
  // A join can leave a ring running out and back where the two slivers' ends meet.
  const int32_t after = slivers < 0 ? -1 : removeSpikes(path, &next[0], close.point);
  const int32_t pinches = after < 0 ? -1 : splitPinches(path, &next[0], members, close.point);
  if (pinches < 0) return false;
  const int32_t joined = slivers + pinches;
  if (joined + spikes + after == 0) return true;
  WorkArray<uint8_t> seen;
  if (!seen.allocate(n)) return false;
  // Each ring loses its closing point and each written ring gains one; a join adds one ring at
  // most.
  JVect *out = jVectOpen(n + joined);
  if (out == nullptr) return false;
  const JVectPoint *v = path->points;
  auto copy = [out](int16_t mode, const JVectPoint &p, uint32_t tag) {
    jVectAddPoint(out, JVECT_LAST, mode, p.x, p.y);
    out->points[out->count - 1].tag = tag;
  };
  for (int32_t i = 0; i < n; ++i) {
    if (next[i] == kNoRing) {
      // Open contours and those of two edges are copied as they are.
      copy(v[i].mode, v[i], v[i].tag);
      continue;
    }
    if (next[i] < 0 || seen[i] != 0) continue;
    copy(JVM_START, v[i], v[startOf[i]].tag);
    for (int32_t k = next[i]; k != i; k = next[k]) {
      seen[k] = 1;
      copy(v[k].mode == JVM_START ? int16_t{JVM_LINE} : v[k].mode, v[k], 0);
    }
    copy(JVM_LINE, v[i], 0);
    seen[i] = 1;
  }
  // The rewritten rings take the place of the path's points; the old ones leave with out.
  std::swap(path->points, out->points);
  std::swap(path->count, out->count);
  std::swap(path->capacity, out->capacity);
  jVectClose(out);
  return true;
}

}  // namespace

// Only the sliver cut and the fit can fail; tidying a path that was not fitted would pass off its
// flattened runs as the finished outline.
bool weldFinish(JVect *path, bool fitCurves, Centre where) {
  Closeness close = closeness(path, where);
  auto cut = [](JVect *batch, void *c) { return cutSlivers(batch, *static_cast<Closeness *>(c)); };
  const double reach = kApartClosenesses * std::max(close.sliver, close.point);
  if (!weldInBatches(path, cut, &close, reach)) return false;
  dropCrumbs(path);
  dropFlat(path, close.point);
  if (fitCurves && jVectSvtToBez(path) != 1) return false;
  jVectGetLine(path);
  // Merging the points of a sliver along one line can leave it out and back along that line:
  // three points or fewer, enclosing nothing.
  dropContours(path, [](int32_t s, int32_t e) { return e - s < kFewestEnclosingPoints - 1; });
  jVectSetAttri(path);
  return true;
}

}  // namespace outlina
