// Feeds arbitrary point records to the flattening primitives and to every operation that walks
// contours, which must stay inside the path and their buffers whatever the modes and values.
#include <cstdint>
#include <cstring>

#include "outlina.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 8) return 0;
  int32_t divisions;
  float angle;
  std::memcpy(&divisions, data, 4);
  std::memcpy(&angle, data + 4, 4);
  jVectSetCurveRes(divisions, angle);
  data += 8;
  size -= 8;

  // The primitives on the first points, with the room their callers promise.
  float arc[2 * 122] = {}, cubic[2 * 129] = {};
  std::memcpy(arc, data, size < 24 ? size : 24);
  std::memcpy(cubic, data, size < 32 ? size : 32);
  jMathBezToLine(cubic, divisions % 129);
  jMathArcToBez(arc);
  std::memcpy(arc, data, size < 24 ? size : 24);
  jMathArcToLine(arc, angle >= 3.0f ? angle : 3.0f);
  jMathBezierDis(cubic, arc[0], arc[1]);

  // Records of one mode byte (folded onto the codes and their neighbours) and two floats.
  JVect *path = jVectOpen(16);
  for (size_t at = 0; at + 9 <= size; at += 9) {
    float x, y;
    std::memcpy(&x, data + at + 1, 4);
    std::memcpy(&y, data + at + 5, 4);
    jVectAddPoint(path, JVECT_LAST, static_cast<int16_t>(data[at] % 48 - 1), x, y);
  }
  float box[4];
  const int32_t count = jVectGetNum(path);
  jVectGetMinMax(box, path, JVECT_ALL);
  // Each contour once, through its last point: each call walks the whole contour.
  for (int32_t i = 0; i < count; ++i) {
    const int32_t end = jVectGetEndPos(path, i);
    jVectGetMinMax(box, path, end);
    jVectIsInside(path, end, box[0], box[3]);
    jVectGetLoopDir(path, end);
    if (end > i) i = end;
  }
  JVect *loop = jVectDuplicate(path);
  jVectMakeReverseLoop(loop);
  jVectSetLoopDir(path, count % 3);
  jVectReverse(path, JVECT_ALL);
  jVectClose(loop);
  jVectClose(path);
  return 0;
}
