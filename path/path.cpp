#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "outlina/path.h"
#include "path/curve_res.h"
#include "path/room.h"
#include "plinth.h"

static_assert(sizeof(JVectPoint) == 14, "point records are a 14-byte exchange format");
static_assert(offsetof(JVectPoint, mode) == 0 && offsetof(JVectPoint, x) == 2 &&
                  offsetof(JVectPoint, y) == 6 && offsetof(JVectPoint, tag) == 10,
              "point record layout is fixed");
static_assert(offsetof(JVect, capacity) == 0 && offsetof(JVect, count) == 4 &&
                  offsetof(JVect, loop) == 8 && offsetof(JVect, points) == 16,
              "path header layout is fixed");

namespace outlina {
namespace {

constexpr int32_t kMinDivisions = 4;
constexpr int32_t kMaxDivisions = 128;
constexpr float kMinAngle = 3.0f;
constexpr float kMaxAngle = 120.0f;

int32_t divisionsSetting = 32;
float angleSetting = 3.0f;

// Largest record count whose byte size still fits the allocator's 32-bit size argument.
constexpr int64_t kMaxRecords = INT32_MAX / static_cast<int64_t>(sizeof(JVectPoint));

JVectPoint *allocRecords(int64_t n) {
  if (n < 1 || n > kMaxRecords) return nullptr;
  return static_cast<JVectPoint *>(jMemAlloc(static_cast<uint32_t>(n * sizeof(JVectPoint))));
}

// Grows the array by n records, keeping every old record (spare ones too).
bool grow(JVect *path, int64_t n) {
  JVectPoint *bigger = allocRecords(path->capacity + n);
  if (bigger == nullptr) return false;
  std::memcpy(bigger, path->points, static_cast<size_t>(path->capacity) * sizeof(JVectPoint));
  jMemFree(path->points);
  path->points = bigger;
  path->capacity += static_cast<int32_t>(n);
  return true;
}

// Grows the array by at least `shortfall` records, and by its whole capacity when that is more:
// a fixed step would copy a long path again every few thousand appended points, which makes
// building it quadratic. When the generous size cannot be had, the exact one is tried.
bool growAtLeast(JVect *path, int64_t shortfall) {
  const int64_t generous =
      std::min(std::max(shortfall, int64_t{path->capacity}), kMaxRecords - path->capacity);
  return (generous > shortfall && grow(path, generous)) || grow(path, shortfall);
}

// -2 stands for the last point; the result is -1 for anything outside 0..count-1.
int32_t resolveIndex(const JVect *path, int32_t index) {
  if (index == JVECT_LAST) index = path->count - 1;
  return index >= 0 && index < path->count ? index : -1;
}

void clearGeometry(JVectPoint &p) {
  p.mode = JVM_NONE;
  p.x = 0.0f;
  p.y = 0.0f;
}

}  // namespace

bool reserveRecords(JVect *path, int64_t records) {
  const int64_t shortfall = records - path->capacity;
  if (shortfall <= 0) return true;
  return growAtLeast(path, (shortfall + kGrowthStep - 1) / kGrowthStep * kGrowthStep);
}

int32_t curveDivisions() { return divisionsSetting; }
float curveAngle() { return angleSetting; }

}  // namespace outlina

using namespace outlina;

extern "C" {

JVect *jVectOpen(int32_t capacity) {
  if (capacity < 1 || capacity > kMaxRecords) return nullptr;
  auto *path = static_cast<JVect *>(jMemAlloc(sizeof(JVect)));
  if (path == nullptr) return nullptr;
  path->points = allocRecords(capacity);
  if (path->points == nullptr) {
    jMemFree(path);
    return nullptr;
  }
  // jMemAlloc's blocks come zeroed: clearing them again would touch every page of a large
  // path before it holds anything.
  path->capacity = capacity;
  path->count = 0;
  path->loop = 0;
  return path;
}

void jVectClose(JVect *path) {
  if (path == nullptr) return;
  jMemFree(path->points);
  jMemFree(path);
}

int32_t jVectClear(JVect *path) {
  if (path == nullptr) return 0;
  std::memset(path->points, 0, static_cast<size_t>(path->capacity) * sizeof(JVectPoint));
  path->count = 0;
  return 1;
}

int32_t jVectExpand(JVect *path, int32_t n) {
  if (path == nullptr || n < 1) return 0;
  return grow(path, n) ? 1 : 0;
}

int32_t jVectCopy(JVect *destination, const JVect *source) {
  if (destination == nullptr || source == nullptr) return 0;
  if (destination == source) return 1;
  if (destination->capacity < source->capacity &&
      !grow(destination, source->capacity - destination->capacity))
    return 0;
  std::memcpy(destination->points, source->points,
              static_cast<size_t>(source->capacity) * sizeof(JVectPoint));
  destination->count = source->count;
  destination->loop = source->loop;
  return 1;
}

int32_t jVectAdd(JVect *destination, const JVect *source) {
  if (destination == nullptr || source == nullptr) return 0;
  const int32_t added = source->count;  // read first: source may be destination itself
  const int64_t needed = int64_t{destination->count} + added + kGrowthStep;
  if (destination->capacity < needed && !growAtLeast(destination, needed - destination->capacity))
    return 0;
  std::memcpy(destination->points + destination->count, source->points,
              static_cast<size_t>(added) * sizeof(JVectPoint));
  destination->count += added;
  // The loop words are the caller's; their product wraps rather than overflowing.
  destination->loop = static_cast<int32_t>(static_cast<uint32_t>(destination->loop) *
                                           static_cast<uint32_t>(source->loop));
  return 1;
}

JVect *jVectDuplicate(const JVect *source) {
  if (source == nullptr) return nullptr;
  JVect *copy = jVectOpen(source->capacity);
  if (copy == nullptr) return nullptr;
  std::memcpy(copy->points, source->points,
              static_cast<size_t>(source->capacity) * sizeof(JVectPoint));
  copy->count = source->count;
  copy->loop = source->loop;
  return copy;
}

int32_t jVectGetNum(const JVect *path) { return path != nullptr ? path->count : 0; }

int32_t jVectGetLoop(const JVect *path) { return path != nullptr ? path->loop : 0; }

JVectPoint *jVectGetVd(const JVect *path) { return path != nullptr ? path->points : nullptr; }

void jVectSetCurveRes(int32_t divisions, float angle) {
  divisionsSetting = divisions > kMaxDivisions   ? kMaxDivisions
                     : divisions < kMinDivisions ? kMinDivisions
                                                 : divisions;
  // A NaN angle would pass both clamps; it takes the finest step instead.
  angleSetting = std::isnan(angle)       ? kMinAngle
                 : angle > kMaxAngle     ? kMaxAngle
                 : angle < kMinAngle     ? kMinAngle
                                         : angle;
}

int32_t jVectGetPoint(const JVect *path, int32_t index, int32_t *mode, float *x, float *y) {
  if (path == nullptr || (index = resolveIndex(path, index)) < 0) return 0;
  const JVectPoint &p = path->points[index];
  if (mode != nullptr) *mode = p.mode;
  if (x != nullptr) *x = p.x;
  if (y != nullptr) *y = p.y;
  return 1;
}

int32_t jVectSetPoint(JVect *path, int32_t index, int16_t mode, float x, float y) {
  if (path == nullptr || (index = resolveIndex(path, index)) < 0) return 0;
  JVectPoint &p = path->points[index];
  p.mode = mode;
  p.x = x;
  p.y = y;
  return 1;
}

int32_t jVectSetMode(JVect *path, int32_t index, int16_t mode) {
  if (path == nullptr || (index = resolveIndex(path, index)) < 0) return 0;
  path->points[index].mode = mode;
  return 1;
}

int32_t jVectSetTag(JVect *path, int32_t index, uint32_t tag) {
  if (path == nullptr) return 0;
  if (index == JVECT_ALL) {
    for (int32_t i = 0; i < path->count; ++i)
      if (path->points[i].mode == JVM_START) path->points[i].tag = tag;
    return 1;
  }
  const int32_t start = jVectGetStartPos(path, index);
  if (start < 0) return 0;
  path->points[start].tag = tag;
  return 1;
}

int32_t jVectSetAttri(JVect *path) {
  if (path == nullptr) return 0;
  for (int32_t i = 0; i < path->count; ++i) {
    JVectPoint &p = path->points[i];
    if (p.mode == JVM_SVT || p.mode == JVM_SVT_END) p.mode = JVM_LINE;
  }
  return 1;
}

int32_t jVectMovePoint(JVect *path, int32_t index, float dx, float dy) {
  if (path == nullptr || (index = resolveIndex(path, index)) < 0) return 0;
  JVectPoint &p = path->points[index];
  p.x += dx;
  p.y += dy;
  return 1;
}

int32_t jVectInvalidPoint(JVect *path, int32_t index) {
  return jVectSetMode(path, index, JVM_NONE);
}

int32_t jVectSweepPoint(JVect *path) {
  if (path == nullptr) return 0;
  JVectPoint *points = path->points;
  int32_t kept = 0;
  for (int32_t i = 0; i < path->count; ++i)
    if (points[i].mode != JVM_NONE) points[kept++] = points[i];
  // The freed tail is cleared but keeps its tags, as a removal by marking leaves them.
  for (int32_t i = kept; i < path->count; ++i) clearGeometry(points[i]);
  path->count = kept;
  return kept;
}

int32_t jVectAddPoint(JVect *path, int32_t index, int16_t mode, float x, float y) {
  if (path == nullptr) return -1;
  if (path->count >= path->capacity && !growAtLeast(path, kGrowthStep)) return -1;
  if (index == JVECT_LAST) index = path->count;
  if (index < 0 || index > path->count) return -1;
  JVectPoint *points = path->points;
  std::memmove(points + index + 1, points + index,
               static_cast<size_t>(path->count - index) * sizeof(JVectPoint));
  points[index] = JVectPoint{mode, x, y, 0};
  return ++path->count;
}

int32_t jVectDelPoint(JVect *path, int32_t index) {
  if (path == nullptr) return -1;
  if (index == JVECT_LAST) {
    if (path->count == 0) return -1;
    clearGeometry(path->points[--path->count]);
    return path->count;
  }
  if (jVectInvalidPoint(path, index) == 0) return -1;
  return jVectSweepPoint(path);
}

int32_t jVectRewindPoint(JVect *path, int32_t n) {
  if (path == nullptr || n < 0) return -1;
  const int32_t removed = n < path->count ? n : path->count;
  for (int32_t i = path->count - removed; i < path->count; ++i) clearGeometry(path->points[i]);
  path->count -= removed;
  return path->count;
}

int32_t jVectGetStartPos(const JVect *path, int32_t index) {
  if (path == nullptr || (index = resolveIndex(path, index)) < 0) return -1;
  for (int32_t i = index; i >= 0; --i)
    if (path->points[i].mode == JVM_START) return i;
  return -1;
}

int32_t jVectGetEndPos(const JVect *path, int32_t index) {
  if (path == nullptr || (index = resolveIndex(path, index)) < 0) return -1;
  int32_t i = index;
  while (i + 1 < path->count && path->points[i + 1].mode != JVM_START) ++i;
  return i;
}

}  // extern "C"
