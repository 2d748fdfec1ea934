// Writing FreeType outlines as native glyph-outline records.
#include "font/native_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "font/native_outline.h"
#include "plinth.h"

namespace outlina {
namespace {

// Native coordinates are 16.16 numbers: their integer parts must fit 16 signed bits.
constexpr double kFixedLimit = 32767.0;
// Cubic outlines become quadratic pieces that stay this close (native units) to the cubic,
// half a unit so that even the half-size outline stays within a cell unit.
constexpr double kCubicTolerance = 0.5;
// Largest distance between a cubic and the quadratic with control (3 (P1 + P2) - P0 - P3) / 4,
// per unit of |P3 - 3 P2 + 3 P1 - P0|.
const double kMidpointQuadError = std::sqrt(3.0) / 36.0;

// Nearest integer, halves away from zero (as lround, without the library call or a branch per
// point).
int32_t roundToInt(double value) { return static_cast<int32_t>(value + std::copysign(0.5, value)); }

// The coordinate limited to the 16.16 range, so that converting it stays defined.
double clampFixed(double value) {
  return value < -kFixedLimit ? -kFixedLimit : value > kFixedLimit ? kFixedLimit : value;
}

// First size of a scratch block, in elements: a simple glyph fits without growing.
constexpr uint32_t kFirstBlock = 256;

// Grows a jMemAlloc block to hold at least needed elements, keeping its content.
template <typename T>
bool reserve(T *&block, uint32_t &capacity, uint32_t needed, uint32_t keep) {
  if (needed <= capacity) return true;
  uint32_t grown = capacity > 0 ? capacity : kFirstBlock;
  while (grown < needed) grown *= 2;
  auto *fresh = static_cast<T *>(jMemAlloc(grown * static_cast<uint32_t>(sizeof(T))));
  if (fresh == nullptr) return false;
  if (keep > 0) std::memcpy(fresh, block, keep * sizeof(T));
  jMemFree(block);
  block = fresh;
  capacity = grown;
  return true;
}

// Appends native records to the scratch buffer. Every put is covered by an earlier room().
// The write position lives in the writer, not in the scratch, so that the stores of a glyph's
// points do not force it back to memory after each one.
class OutlineWriter {
 public:
  // Coordinates are checked against the 16.16 range one by one only when checked is set;
  // otherwise the caller knows that all of them fit.
  OutlineWriter(NativeScratch &state, bool checked)
      : state_(state), out_(state.buffer), checked_(checked) {}

  // The bytes written; the scratch's used count is set too.
  uint32_t finish() { return state_.used = offset(); }
  // False when a written coordinate did not fit a 16.16 number.
  bool inRange() const { return !outside_; }
  // Makes room for bytes more; false when memory runs out.
  bool room(uint32_t bytes) {
    const uint32_t used = offset();
    if (used + bytes <= state_.capacity) return true;
    if (!reserve(state_.buffer, state_.capacity, used + bytes, used)) return false;
    out_ = state_.buffer + used;
    return true;
  }
  void beginPolygon(Pt start) {
    polygonAt_ = offset();
    putU32(0);
    putU32(kPolygonType);
    putPoint(start);
  }
  // Consecutive lines share one record; its point count is written when it ends.
  void line(Pt p) {
    if (lineAt_ == kNoRecord) {
      lineAt_ = offset();
      linePoints_ = 0;
      putU16(kCurveLine);
      putU16(0);
    }
    putPoint(p);
    ++linePoints_;
  }
  // One B-spline record of a single piece.
  void qspline(Pt control, Pt end) {
    endLine();
    putU16(kCurveQSpline);
    putU16(2);
    putPoint(control);
    putPoint(end);
  }
  // A B-spline record written as its points come: the off-curve ones, then the on-curve end.
  void control(Pt p) {
    if (splineAt_ == kNoRecord) {
      endLine();
      splineAt_ = offset();
      splinePoints_ = 0;
      putU16(kCurveQSpline);
      putU16(0);
    }
    putPoint(p);
    ++splinePoints_;
  }
  void endSpline(Pt end) {
    putPoint(end);
    ++splinePoints_;
    std::memcpy(state_.buffer + splineAt_ + 2, &splinePoints_, sizeof splinePoints_);
    splineAt_ = kNoRecord;
  }
  void endPolygon() {
    endLine();
    const uint32_t bytes = offset() - polygonAt_;
    std::memcpy(state_.buffer + polygonAt_, &bytes, sizeof bytes);
  }

 private:
  static constexpr uint32_t kNoRecord = 0;  // records never start at 0: a polygon header does

  uint32_t offset() const { return static_cast<uint32_t>(out_ - state_.buffer); }
  void endLine() {
    if (lineAt_ == kNoRecord) return;
    std::memcpy(state_.buffer + lineAt_ + 2, &linePoints_, sizeof linePoints_);
    lineAt_ = kNoRecord;
  }
  void put(const void *bytes, uint32_t size) {
    std::memcpy(out_, bytes, size);
    out_ += size;
  }
  void putU32(uint32_t value) { put(&value, sizeof value); }
  void putU16(uint16_t value) { put(&value, sizeof value); }
  // A coordinate whose integer part does not fit 16 bits makes the glyph refused.
  void putPoint(Pt p) {
    if (checked_) {
      const double x = clampFixed(p.x), y = clampFixed(p.y);
      outside_ |= (x != p.x) | (y != p.y);
      p = {x, y};
    }
    // Stored as words (the buffer is word-aligned throughout): a byte store could alias the
    // write position itself and force it back to memory after each point.
    auto *words = reinterpret_cast<int32_t *>(out_);
    words[0] = roundToInt(p.x * kFixedOne);
    words[1] = roundToInt(p.y * kFixedOne);
    out_ += kPointBytes;
  }

  NativeScratch &state_;
  uint8_t *out_;
  bool checked_;
  bool outside_ = false;
  uint32_t polygonAt_ = 0;
  uint32_t lineAt_ = kNoRecord;
  uint16_t linePoints_ = 0;
  uint32_t splineAt_ = kNoRecord;
  uint16_t splinePoints_ = 0;
};

Pt blossom(const Pt *p, double t1, double t2, double t3) {
  auto lerp = [](Pt a, Pt b, double t) { return a + t * (b - a); };
  Pt a[3] = {lerp(p[0], p[1], t1), lerp(p[1], p[2], t1), lerp(p[2], p[3], t1)};
  Pt b[2] = {lerp(a[0], a[1], t2), lerp(a[1], a[2], t2)};
  return lerp(b[0], b[1], t3);
}

// A cubic as quadratic pieces: each piece of the cubic split evenly is replaced by the
// quadratic through its ends with control (3 (Q1 + Q2) - Q0 - Q3) / 4.
bool writeCubic(OutlineWriter &writer, Pt p0, Pt p1, Pt p2, Pt p3) {
  const Pt cubic[4] = {p0, p1, p2, p3};
  const Pt third = p3 - 3.0 * p2 + 3.0 * p1 - p0;
  const double error = kMidpointQuadError * std::sqrt(dot(third, third));
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::cbrt(error / kCubicTolerance))));
  if (!writer.room(static_cast<uint32_t>(pieces) * (kCurveHeaderBytes + 2 * kPointBytes)))
    return false;
  // Each piece starts where the one before ended: blossom(b, b, b) of piece i is
  // blossom(a, a, a) of piece i + 1, from the same a.
  Pt q0 = blossom(cubic, 0.0, 0.0, 0.0);
  for (int i = 0; i < pieces; ++i) {
    const double a = static_cast<double>(i) / pieces;
    const double b = static_cast<double>(i + 1) / pieces;
    const Pt q1 = blossom(cubic, a, a, b), q2 = blossom(cubic, a, b, b);
    const Pt q3 = i + 1 == pieces ? p3 : blossom(cubic, b, b, b);
    writer.qspline(0.25 * (3.0 * (q1 + q2) - q0 - q3), q3);
    q0 = q3;
  }
  return true;
}

// The points of one contour in writing order: backwards through a reversed contour, and
// rotated to begin on its first on-curve point. The index wraps at the contour's end.
class ContourCursor {
 public:
  ContourCursor(const char *tags, uint32_t first, uint32_t last, bool reverse)
      : count_(last + 1 - first),
        step_(reverse ? -1 : 1),
        begin_(reverse ? last : first),
        end_(reverse ? int64_t{first} - 1 : int64_t{last} + 1),
        at_(begin_) {
    uint32_t skipped = 0;
    while (skipped < count_ && FT_CURVE_TAG(tags[at_]) != FT_CURVE_TAG_ON) next(), ++skipped;
    implied_ = skipped == count_;
  }

  uint32_t count() const { return count_; }
  // True when no point lies on the curve: the contour starts at the implied point between
  // its last and first points, and the cursor stands on its first point.
  bool implied() const { return implied_; }
  int64_t at() const { return at_; }
  // The point before the current one in writing order.
  int64_t before() const { return at_ == begin_ ? end_ - step_ : at_ - step_; }
  void next() {
    at_ += step_;
    if (at_ == end_) at_ = begin_;
  }

 private:
  uint32_t count_;
  int64_t step_, begin_, end_, at_;
  bool implied_ = false;
};

Pt mapPoint(const FontAffine &map, const FT_Vector &p) {
  const auto u = static_cast<double>(p.x), v = static_cast<double>(p.y);
  return {map.ux * u + map.vx * v + map.ox, map.uy * u + map.vy * v + map.oy};
}

// One contour, mapped as its points are read, in native records. The implicit closing line
// back to the start is left out as the native format does.
bool writeContour(OutlineWriter &writer, const FT_Outline &outline, const FontAffine &affine,
                  ContourCursor contour) {
  const FontAffine map = affine;  // a local copy: the record stores could alias the original
  const FT_Vector *points = outline.points;
  const char *tags = outline.tags;
  const uint32_t count = contour.count();
  const bool implied = contour.implied();
  const Pt first = mapPoint(map, points[contour.at()]);
  const Pt start = implied ? 0.5 * (mapPoint(map, points[contour.before()]) + first) : first;
  // At most a record per point besides the header; cubic pieces make their own room.
  if (!writer.room(kPolygonHeaderBytes + count * (kCurveHeaderBytes + kPointBytes))) return false;
  writer.beginPolygon(start);
  Pt current = start;
  uint32_t conics = 0, cubics = 0;  // off-curve points since the last on-curve one
  Pt cubic[2];
  if (!implied) contour.next();
  // The start again closes the contour: it ends a curve but adds no line.
  for (uint32_t k = implied ? 0 : 1; k <= count; ++k, contour.next()) {
    const bool closing = k == count;
    const int tag = closing ? FT_CURVE_TAG_ON : FT_CURVE_TAG(tags[contour.at()]);
    const Pt p = closing ? start : mapPoint(map, points[contour.at()]);
    if (tag == FT_CURVE_TAG_CONIC) {
      writer.control(p);
      ++conics;
      continue;
    }
    if (tag == FT_CURVE_TAG_CUBIC) {
      if (cubics < 2) cubic[cubics] = p;
      ++cubics;
      continue;
    }
    // An on-curve point ends the curve of the off-curve points before it.
    if (conics > 0) {
      writer.endSpline(p);
    } else if (cubics == 2) {
      if (!writeCubic(writer, current, cubic[0], cubic[1], p)) return false;
    } else if (!closing) {
      writer.line(p);
    }
    current = p;
    conics = cubics = 0;
  }
  writer.endPolygon();
  return true;
}

}  // namespace

bool fontWriteNativeOutline(const FT_Outline &outline, const FontAffine &map,
                            NativeScratch &scratch) {
  const bool reverse = (outline.flags & FT_OUTLINE_REVERSE_FILL) != 0;
  // The box of the outline's points, mapped: the map is monotonic in each coordinate, so the
  // mapped corners bound every mapped point. Every point written lies within that box widened
  // by half its size on each side (quadratic controls of a cubic lie outside the cubic's hull
  // by less); when that fits the 16.16 range, no coordinate needs checking.
  FT_Vector lowest{}, highest{};
  if (outline.n_points > 0) lowest = highest = outline.points[0];
  for (int i = 1; i < outline.n_points; ++i) {
    const FT_Vector &p = outline.points[i];
    lowest = {std::min(lowest.x, p.x), std::min(lowest.y, p.y)};
    highest = {std::max(highest.x, p.x), std::max(highest.y, p.y)};
  }
  Pt low{HUGE_VAL, HUGE_VAL}, high{-HUGE_VAL, -HUGE_VAL};
  for (const FT_Pos u : {lowest.x, highest.x}) {
    for (const FT_Pos v : {lowest.y, highest.y}) {
      const Pt p = mapPoint(map, FT_Vector{u, v});
      low = {std::min(low.x, p.x), std::min(low.y, p.y)};
      high = {std::max(high.x, p.x), std::max(high.y, p.y)};
    }
  }
  const Pt reach = 0.5 * (high - low);
  const bool checked = !(low.x - reach.x >= -kFixedLimit && low.y - reach.y >= -kFixedLimit &&
                         high.x + reach.x <= kFixedLimit && high.y + reach.y <= kFixedLimit);
  OutlineWriter writer(scratch, checked);
  uint32_t first = 0;
  for (int c = 0; c < outline.n_contours; ++c) {
    const auto last = static_cast<uint32_t>(outline.contours[c]);
    // A contour of fewer than three points encloses nothing.
    if (last + 1 - first >= 3 &&
        !writeContour(writer, outline, map, ContourCursor(outline.tags, first, last, reverse)))
      return false;
    first = last + 1;
  }
  writer.finish();
  return writer.inRange();
}

void fontReleaseNativeScratch(NativeScratch &scratch) {
  jMemFree(scratch.buffer);
  scratch = NativeScratch{};
}

}  // namespace outlina
