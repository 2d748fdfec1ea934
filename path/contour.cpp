#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "outlina/path.h"
#include "path/room.h"

namespace outlina {
namespace {

// Contours of up to this many live points cannot enclose anything and are removed by the
// clean-up: even a closed triangle needs four records.
constexpr int32_t kMaxNoisePoints = 3;

bool samePlace(const JVectPoint &a, const JVectPoint &b) { return a.x == b.x && a.y == b.y; }

bool isOffCurve(int16_t mode) {
  return mode == JVM_ARC_MID || mode == JVM_QUAD_CTRL || mode == JVM_BEZ_CTRL1 ||
         mode == JVM_BEZ_CTRL2;
}

// Only these count as line points for duplicate removal; the second variants 3 and 13 are the
// caller's and are kept.
bool isDroppableLine(int16_t mode) {
  return mode == JVM_LINE || mode == JVM_SVT || mode == JVM_SVT_END;
}

// Closes the contour [start, end] by appending a copy of its start unless the end already
// repeats it. Returns the index just after the contour, or -1 when the insertion fails.
int32_t closeContour(JVect *path, int32_t start, int32_t end) {
  const JVectPoint first = path->points[start];
  if (samePlace(path->points[end], first)) return end + 1;
  if (jVectAddPoint(path, end + 1, JVM_LINE, first.x, first.y) < 0) return -1;
  return end + 2;
}

// Degenerate curves become lines and repeated line points are marked for removal; R is the
// latest point kept as a reference, and it stays put while points equal to it are dropped.
void markDuplicates(JVectPoint *points, int32_t count) {
  int32_t r = 0;
  for (int32_t i = 0; i < count; ++i) {
    JVectPoint &p = points[i];
    const int16_t original = p.mode;
    if ((original == JVM_ARC_END || original == JVM_QUAD_END || original == JVM_QUAD_END_ALT) &&
        i >= 1 && samePlace(p, points[i - 1])) {
      points[i - 1].mode = JVM_NONE;
      p.mode = JVM_LINE;
    } else if ((original == JVM_BEZ_END || original == JVM_BEZ_END_ALT) && i >= 2 &&
               samePlace(p, points[i - 2]) && samePlace(p, points[i - 1])) {
      points[i - 2].mode = JVM_NONE;
      points[i - 1].mode = JVM_NONE;
      p.mode = JVM_LINE;
    }
    if (isDroppableLine(p.mode) && samePlace(p, points[r])) {
      p.mode = JVM_NONE;
      // A flattened run must still end with an end point.
      if (original == JVM_SVT_END && points[r].mode == JVM_SVT) points[r].mode = JVM_SVT_END;
    } else {
      r = i;
    }
  }
}

// Marks whole every contour that keeps at most kMaxNoisePoints live points.
void markTinyContours(JVectPoint *points, int32_t count) {
  int32_t i = 0;
  while (i < count && points[i].mode != JVM_START) ++i;
  while (i < count) {
    const int32_t start = i;
    int32_t live = 1;
    for (++i; i < count && points[i].mode != JVM_START; ++i)
      if (points[i].mode != JVM_NONE) ++live;
    if (live <= kMaxNoisePoints)
      for (int32_t k = start; k < i; ++k) points[k].mode = JVM_NONE;
  }
}

// Squared distance in double, rounded to the f32 in which candidates are compared.
float roundedDistance2(const JVectPoint &p, float x, float y) {
  const double dx = double{p.x} - x, dy = double{p.y} - y;
  const float d = static_cast<float>(dx * dx + dy * dy);
  return std::isnan(d) ? std::numeric_limits<float>::infinity() : d;
}

float snapToward0(float v, double grid) {
  return static_cast<float>(grid * std::trunc(v / grid));
}

}  // namespace
}  // namespace outlina

using namespace outlina;

extern "C" {

int32_t jVectGetLength(const JVect *path, int32_t index) {
  if (path == nullptr) return 0;
  const int32_t start = jVectGetStartPos(path, index);
  if (start < 0) return -1;
  return jVectGetEndPos(path, index) - start + 1;
}

int32_t jVectCheckLoop(const JVect *path) {
  if (path == nullptr) return 0;
  const JVectPoint *points = path->points;
  const int32_t count = path->count;
  if (count == 0) return 1;
  if (points[0].mode != JVM_START) return 0;
  int32_t start = 0;
  for (int32_t i = 0; i < count; ++i) {
    if (points[i].mode == JVM_START) start = i;
    const bool endsContour = i == count - 1 || points[i + 1].mode == JVM_START;
    if (endsContour && (i - start < 2 || !samePlace(points[i], points[start]))) return 0;
  }
  return 1;
}

int32_t jVectClosePoint(JVect *path, int32_t index) {
  if (path == nullptr) return 0;
  if (index != JVECT_ALL) {
    const int32_t start = jVectGetStartPos(path, index);
    if (start < 0) return 1;
    return closeContour(path, start, jVectGetEndPos(path, start)) < 0 ? 0 : 1;
  }
  int32_t next = 0;
  while (next < path->count && path->points[next].mode != JVM_START) ++next;
  // Room for every closing point first, so that all contours are closed or none.
  int64_t open = 0;
  for (int32_t s = next; s < path->count;) {
    const int32_t e = jVectGetEndPos(path, s);
    if (!samePlace(path->points[e], path->points[s])) ++open;
    s = e + 1;
  }
  if (!reserveRecords(path, int64_t{path->count} + open)) return 0;
  while (next < path->count) {
    next = closeContour(path, next, jVectGetEndPos(path, next));
    if (next < 0) return 0;
  }
  return 1;
}

int32_t jVectSetStartPos(JVect *path, int32_t index) {
  if (path == nullptr) return 0;
  const int32_t k = index == JVECT_LAST ? path->count - 1 : index;
  if (k < 0 || k >= path->count) return 0;
  JVectPoint *points = path->points;
  if (isOffCurve(points[k].mode)) return 0;
  const int32_t s = jVectGetStartPos(path, k);
  if (s < 0) return 0;
  const int32_t e = jVectGetEndPos(path, k);
  if (!samePlace(points[e], points[s])) return 0;
  if (points[k].mode == JVM_START) return 1;
  const uint32_t tag = points[s].tag;
  // The start slot takes the closing record, so that after the rotation it carries the mode
  // of the segment that closes the contour into the old start.
  points[s] = points[e];
  std::rotate(points + s, points + k, points + e);
  points[e] = points[s];
  points[s].mode = JVM_START;
  points[s].tag = tag;
  return 1;
}

int32_t jVectSearchPoint(const JVect *path, float x, float y) {
  if (path == nullptr || path->count == 0) return -1;
  int32_t best = -1;
  float bestDistance = std::numeric_limits<float>::infinity();
  for (int32_t i = 0; i < path->count; ++i) {
    const float d = roundedDistance2(path->points[i], x, y);
    // <= lets the later of equal candidates win.
    if (d <= bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

int32_t jVectDelNoise(JVect *path) {
  if (path == nullptr) return 0;
  markDuplicates(path->points, path->count);
  markTinyContours(path->points, path->count);
  return jVectSweepPoint(path);
}

int32_t jVectScale(JVect *path, float factor) {
  if (path == nullptr) return 0;
  for (int32_t i = 0; i < path->count; ++i) {
    JVectPoint &p = path->points[i];
    p.x = static_cast<float>(double{p.x} * factor);
    p.y = static_cast<float>(double{p.y} * factor);
  }
  return 1;
}

int32_t jVectSnap(JVect *path, float grid) {
  // A zero or non-finite grid would turn every coordinate into NaN.
  if (path == nullptr || path->count < 2 || grid == 0.0f || !std::isfinite(grid)) return 0;
  for (int32_t i = 0; i < path->count; ++i) {
    JVectPoint &p = path->points[i];
    p.x = snapToward0(p.x, grid);
    p.y = snapToward0(p.y, grid);
  }
  return 1;
}

}  // extern "C"
