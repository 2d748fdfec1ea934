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
  // One B-spline record: the off-curve points, then the on-curve end.
  void qspline(const Pt *controls, uint32_t count, Pt end) {
    endLine();
    putU16(kCurveQSpline);
    putU16(static_cast<uint16_t>(count + 1));
    for (uint32_t i = 0; i < count; ++i) putPoint(controls[i]);
    putPoint(end);
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
    const Pt control = 0.25 * (3.0 * (q1 + q2) - q0 - q3);
    writer.qspline(&control, 1, q3);
    q0 = q3;
  }
  return true;
}

// One contour in native records, its points in writing order and starting on an on-curve
// point, or made of off-curve points only (implied) and then starting at the implied point
// between its last and first points. The implicit closing line back to the start is left out
// as the native format does.
bool writeContour(OutlineWriter &writer, const Pt *points, const char *tags, uint32_t count,
                  bool implied) {
  const Pt start = implied ? 0.5 * (points[count - 1] + points[0]) : points[0];
  // At most a record per point besides the header; cubic pieces make their own room.
  if (!writer.room(kPolygonHeaderBytes + count * (kCurveHeaderBytes + kPointBytes)))
    return false;
  writer.beginPolygon(start);
  Pt current = start;
  uint32_t conics = 0, cubics = 0;  // off-curve points since the last on-curve one
  Pt cubic[2];
  // An on-curve point ends the curve of the off-curve points before it, which lie just
  // before it in points; the closing one (the start again) ends a curve but adds no line.
  auto onCurve = [&](uint32_t k, Pt p, bool closing) {
    if (cubics == 2) {
      if (!writeCubic(writer, current, cubic[0], cubic[1], p)) return false;
    } else if (conics > 0) {
      writer.qspline(points + k - conics, conics, p);
    } else if (!closing) {
      writer.line(p);
    }
    current = p;
    conics = cubics = 0;
    return true;
  };
  for (uint32_t k = implied ? 0 : 1; k < count; ++k) {
    const int tag = FT_CURVE_TAG(tags[k]);
    if (tag == FT_CURVE_TAG_CONIC) {
      ++conics;
    } else if (tag == FT_CURVE_TAG_CUBIC) {
      if (cubics < 2) cubic[cubics] = points[k];
      ++cubics;
    } else if (!onCurve(k, points[k], false)) {
      return false;
    }
  }
  if (!onCurve(count, start, true)) return false;
  writer.endPolygon();
  return true;
}

}  // namespace

bool fontWriteNativeOutline(const FT_Outline &outline, const FontAffine &map,
                            NativeScratch &scratch) {
  const auto total = static_cast<uint32_t>(outline.n_points);
  if (!reserve(scratch.points, scratch.pointCapacity, total, 0) ||
      !reserve(scratch.tags, scratch.tagCapacity, total, 0))
    return false;
  const bool reverse = (outline.flags & FT_OUTLINE_REVERSE_FILL) != 0;
  // Local copies: the byte stores below could otherwise alias them and force reloads.
  const FontAffine m = map;
  const FT_Vector *sourcePoints = outline.points;
  const char *sourceTags = outline.tags;
  Pt *points = scratch.points;
  char *tags = scratch.tags;
  // First every contour's points are mapped into the scratch in the place of the contour,
  // in writing order: backwards through a reversed contour, rotated to begin on its first
  // on-curve point.
  Pt low{HUGE_VAL, HUGE_VAL}, high{-HUGE_VAL, -HUGE_VAL};
  uint32_t first = 0;
  for (int c = 0; c < outline.n_contours; ++c) {
    const auto last = static_cast<uint32_t>(outline.contours[c]);
    const uint32_t count = last + 1 - first;
    const int64_t base = reverse ? last : first, step = reverse ? -1 : 1;
    uint32_t firstOn = 0;
    while (firstOn < count && FT_CURVE_TAG(sourceTags[base + step * firstOn]) != FT_CURVE_TAG_ON)
      ++firstOn;
    const uint32_t shift = firstOn == count ? 0 : firstOn;
    auto take = [&](uint32_t to, uint32_t from) {
      const int64_t at = base + step * from;
      const auto u = static_cast<double>(sourcePoints[at].x);
      const auto v = static_cast<double>(sourcePoints[at].y);
      const Pt p{m.ux * u + m.vx * v + m.ox, m.uy * u + m.vy * v + m.oy};
      points[first + to] = p;
      tags[first + to] = sourceTags[at];
      low = {std::min(low.x, p.x), std::min(low.y, p.y)};
      high = {std::max(high.x, p.x), std::max(high.y, p.y)};
    };
    for (uint32_t i = 0; i + shift < count; ++i) take(i, i + shift);
    for (uint32_t i = count - shift; i < count; ++i) take(i, i + shift - count);
    first = last + 1;
  }
  // Every point written lies within the box of the mapped points widened by half its size
  // on each side (quadratic controls of a cubic lie outside the cubic's hull by less). When
  // that fits the 16.16 range, no coordinate needs checking.
  const Pt reach = 0.5 * (high - low);
  const bool checked = !(low.x - reach.x >= -kFixedLimit && low.y - reach.y >= -kFixedLimit &&
                         high.x + reach.x <= kFixedLimit && high.y + reach.y <= kFixedLimit);
  OutlineWriter writer(scratch, checked);
  first = 0;
  for (int c = 0; c < outline.n_contours; ++c) {
    const auto last = static_cast<uint32_t>(outline.contours[c]);
    const uint32_t count = last + 1 - first;
    // A contour of fewer than three points encloses nothing; one that does not begin on an
    // on-curve point has none (implied).
    if (count >= 3 && !writeContour(writer, points + first, tags + first, count,
                                    FT_CURVE_TAG(tags[first]) != FT_CURVE_TAG_ON))
      return false;
    first = last + 1;
  }
  writer.finish();
  return writer.inRange();
}

void fontReleaseNativeScratch(NativeScratch &scratch) {
  jMemFree(scratch.buffer);
  jMemFree(scratch.points);
  jMemFree(scratch.tags);
  scratch = NativeScratch{};
}

}  // namespace outlina
