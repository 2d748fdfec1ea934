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

// Nearest integer, halves away from zero (as lround, without the library call per point).
int32_t roundToInt(double value) {
  return static_cast<int32_t>(value >= 0 ? value + 0.5 : value - 0.5);
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

// Appends native records to the scratch buffer.
class OutlineWriter {
 public:
  explicit OutlineWriter(NativeScratch &state) : state_(state) { state_.used = 0; }

  bool ok() const { return ok_; }

  // Makes room for bytes more; every put is covered by a call of this first.
  void room(uint32_t bytes) {
    if (ok_ && state_.used + bytes > state_.capacity &&
        !reserve(state_.buffer, state_.capacity, state_.used + bytes, state_.used))
      ok_ = false;
  }
  void beginPolygon(Pt start) {
    polygonAt_ = state_.used;
    recordAt_ = 0;
    putU32(0);
    putU32(kPolygonType);
    putPoint(start);
  }
  void line(Pt p) {
    if (recordAt_ == 0 || recordType_ != kCurveLine) beginRecord(kCurveLine);
    addPoint(p);
  }
  // One B-spline record: the off-curve points, then the on-curve end.
  void qspline(const Pt *controls, uint32_t count, Pt end) {
    beginRecord(kCurveQSpline);
    for (uint32_t i = 0; i < count; ++i) addPoint(controls[i]);
    addPoint(end);
    recordAt_ = 0;
  }
  void endPolygon() {
    const uint32_t bytes = state_.used - polygonAt_;
    if (ok_) std::memcpy(state_.buffer + polygonAt_, &bytes, sizeof bytes);
    recordAt_ = 0;
  }

 private:
  void beginRecord(uint16_t type) {
    recordAt_ = state_.used;
    recordType_ = type;
    recordPoints_ = 0;
    putU16(type);
    putU16(0);
  }
  void addPoint(Pt p) {
    putPoint(p);
    ++recordPoints_;
    if (ok_) std::memcpy(state_.buffer + recordAt_ + 2, &recordPoints_, sizeof recordPoints_);
  }
  void put(const void *bytes, uint32_t size) {
    if (!ok_) return;
    std::memcpy(state_.buffer + state_.used, bytes, size);
    state_.used += size;
  }
  void putU32(uint32_t value) { put(&value, sizeof value); }
  void putU16(uint16_t value) { put(&value, sizeof value); }
  // A coordinate whose integer part does not fit 16 bits makes the glyph refused.
  void putPoint(Pt p) {
    if (std::fabs(p.x) > kFixedLimit || std::fabs(p.y) > kFixedLimit) ok_ = false;
    const int32_t fixed[2] = {roundToInt(p.x * kFixedOne), roundToInt(p.y * kFixedOne)};
    put(fixed, sizeof fixed);
  }

  NativeScratch &state_;
  bool ok_ = true;
  uint32_t polygonAt_ = 0;
  uint32_t recordAt_ = 0;
  uint16_t recordType_ = 0;
  uint16_t recordPoints_ = 0;
};

Pt blossom(const Pt *p, double t1, double t2, double t3) {
  auto lerp = [](Pt a, Pt b, double t) { return a + t * (b - a); };
  Pt a[3] = {lerp(p[0], p[1], t1), lerp(p[1], p[2], t1), lerp(p[2], p[3], t1)};
  Pt b[2] = {lerp(a[0], a[1], t2), lerp(a[1], a[2], t2)};
  return lerp(b[0], b[1], t3);
}

// A cubic as quadratic pieces: each piece of the cubic split evenly is replaced by the
// quadratic through its ends with control (3 (Q1 + Q2) - Q0 - Q3) / 4.
void writeCubic(OutlineWriter &writer, Pt p0, Pt p1, Pt p2, Pt p3) {
  const Pt cubic[4] = {p0, p1, p2, p3};
  const Pt third = p3 - 3.0 * p2 + 3.0 * p1 - p0;
  const double error = kMidpointQuadError * std::sqrt(dot(third, third));
  const int pieces = std::max(1, static_cast<int>(std::ceil(std::cbrt(error / kCubicTolerance))));
  writer.room(static_cast<uint32_t>(pieces) * (kCurveHeaderBytes + 2 * kPointBytes));
  for (int i = 0; i < pieces; ++i) {
    const double a = static_cast<double>(i) / pieces;
    const double b = static_cast<double>(i + 1) / pieces;
    const Pt q0 = blossom(cubic, a, a, a), q1 = blossom(cubic, a, a, b);
    const Pt q2 = blossom(cubic, a, b, b);
    const Pt q3 = i + 1 == pieces ? p3 : blossom(cubic, b, b, b);
    const Pt control = 0.25 * (3.0 * (q1 + q2) - q0 - q3);
    writer.qspline(&control, 1, q3);
  }
}

// One contour in native records. Its points come in the order given (reversed for CFF so
// that outer contours run clockwise); the implicit closing line back to the start is left
// out as the native format does.
void writeContour(OutlineWriter &writer, const Pt *points, const char *tags, uint32_t count,
                  Pt *pending) {
  uint32_t first = 0;
  while (first < count && FT_CURVE_TAG(tags[first]) != FT_CURVE_TAG_ON) ++first;
  // A contour of off-curve points only starts at the implied point between its last and
  // first points.
  const bool implied = first == count;
  const Pt start = implied ? 0.5 * (points[count - 1] + points[0]) : points[first];
  // At most a record per point besides the header; cubic pieces make their own room.
  writer.room(kPolygonHeaderBytes + count * (kCurveHeaderBytes + kPointBytes));
  writer.beginPolygon(start);
  Pt current = start;
  uint32_t conics = 0, cubics = 0;
  Pt cubic[2];
  const uint32_t steps = implied ? count + 1 : count;
  for (uint32_t k = 1; k <= steps; ++k) {
    const bool closing = k == steps;
    const uint32_t j = implied ? k - 1 : (first + k < count ? first + k : first + k - count);
    const Pt p = closing ? start : points[j];
    const int tag = closing ? FT_CURVE_TAG_ON : FT_CURVE_TAG(tags[j]);
    if (tag == FT_CURVE_TAG_CONIC) {
      pending[conics++] = p;
      continue;
    }
    if (tag == FT_CURVE_TAG_CUBIC) {
      if (cubics < 2) cubic[cubics] = p;
      ++cubics;
      continue;
    }
    if (cubics == 2)
      writeCubic(writer, current, cubic[0], cubic[1], p);
    else if (conics > 0)
      writer.qspline(pending, conics, p);
    else if (!closing)
      writer.line(p);
    current = p;
    conics = cubics = 0;
  }
  writer.endPolygon();
}

}  // namespace

bool fontWriteNativeOutline(const FT_Outline &outline, const FontAffine &map,
                            NativeScratch &scratch) {
  const auto total = static_cast<uint32_t>(outline.n_points);
  // Two halves: a contour's points in writing order, then room for its pending controls.
  if (!reserve(scratch.points, scratch.pointCapacity, 2 * total, 0) ||
      !reserve(scratch.tags, scratch.tagCapacity, total, 0))
    return false;
  const bool reverse = (outline.flags & FT_OUTLINE_REVERSE_FILL) != 0;
  OutlineWriter writer(scratch);
  uint32_t first = 0;
  for (int c = 0; c < outline.n_contours && writer.ok(); ++c) {
    const auto last = static_cast<uint32_t>(outline.contours[c]);
    const uint32_t count = last + 1 - first;
    // A contour of fewer than three points encloses nothing.
    if (count >= 3) {
      for (uint32_t i = 0; i < count; ++i) {
        const uint32_t from = reverse ? last - i : first + i;
        const auto u = static_cast<double>(outline.points[from].x);
        const auto v = static_cast<double>(outline.points[from].y);
        scratch.points[i] = {map.ux * u + map.vx * v + map.ox, map.uy * u + map.vy * v + map.oy};
        scratch.tags[i] = outline.tags[from];
      }
      writeContour(writer, scratch.points, scratch.tags, count, scratch.points + total);
    }
    first = last + 1;
  }
  return writer.ok();
}

void fontReleaseNativeScratch(NativeScratch &scratch) {
  jMemFree(scratch.buffer);
  jMemFree(scratch.points);
  jMemFree(scratch.tags);
  scratch = NativeScratch{};
}

}  // namespace outlina
