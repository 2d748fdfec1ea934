// Builds a path from the fuzz bytes and combines it under the rule the first byte picks (the
// plain combine or the weld that fits curves afterwards): one combine per input keeps the rate up.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "outlina.h"
#include "weld/batches.h"

namespace {

// Thirty-two points make a few contours with curves and a hundred segments or so. A ten-minute
// run grows its corpus toward welds of a hundred and fifty points mixing far and half-unit
// coordinates, 50 ms each, which held the rate near a hundred inputs a second; at forty points
// the rate stayed between 700 and 900 a second.
constexpr size_t kMaxPoints = 32;
constexpr size_t kBytesPerPoint = 3;
constexpr int32_t kRules = 5;
// Curves at the coarsest resolution: finer ones only make more of the same segments, and at the
// default a few arcs make hundreds, which would hold the rate far below a thousand a second.
constexpr int32_t kCurveDivisions = 4;
constexpr float kCurveAngle = 120.0f;
// Coordinates far out on the sheet, where a float step is a twentieth of the grid, and near the
// float limit. The limit comes only in paths of a few points: beside unit coordinates it makes
// the stray of every piece so wide that the later split passes meet every pair, which is right
// but takes a fortieth of a second for fifty points; longer paths bring far coordinates instead.
constexpr float kFarFromOrigin = 1e6f;
constexpr float kNearFloatLimit = 1e30f;
constexpr size_t kMaxPointsNearLimit = 12;
// Mostly line points, some curve points and stray modes, so flattening and the clean-up run.
// Inputs of odd length are combined in batches of this many records, so that the cutting into
// groups that lie apart, which only paths of tens of thousands of points meet, is fuzzed too.
constexpr int32_t kFuzzBatchPoints = 8;
constexpr int16_t kModes[16] = {1, 2, 2, 2, 2, 3, 11, 12, 13, 41, 42, 43, 31, 32, 21, 22};

float coordinate(uint8_t selector, uint8_t byte, bool shortPath) {
  // A half-unit grid makes shared edges, touching vertices and collinear runs common; the
  // selector's top values bring far, huge and non-finite coordinates.
  const float grid = static_cast<int8_t>(byte) * 0.5f;
  if (selector == 0xFF) return byte & 1 ? NAN : INFINITY;
  if (selector == 0xFE && shortPath) return grid * kNearFloatLimit;
  return selector >= 0xF0 ? grid * kFarFromOrigin : grid;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size == 0) return 0;
  // Rules 1 to 4 and one beyond them (which acts as 4), each combined plainly or welded.
  const int32_t mode = JWM_UNION + data[0] % kRules;
  const bool weld = data[0] / kRules % 2 == 1;
  jVectSetCurveRes(kCurveDivisions, kCurveAngle);
  outlina::weldBatchPoints = size % 2 == 1 ? kFuzzBatchPoints : outlina::kWeldBatchPoints;
  const bool shortPath = size <= 1 + kBytesPerPoint * kMaxPointsNearLimit;
  JVect *path = jVectOpen(16);
  for (size_t i = 1; i + kBytesPerPoint <= size && i / kBytesPerPoint < kMaxPoints;
       i += kBytesPerPoint)
    jVectAddPoint(path, JVECT_LAST, kModes[data[i] & 15],
                  coordinate(data[i], data[i + 1], shortPath),
                  coordinate(data[i], data[i + 2], shortPath));
  weld ? jWeldExecute(mode, path) : jWeldCombineVect(path, mode);
  jVectClose(path);
  return 0;
}
