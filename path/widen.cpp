#include <cstdint>

#include "outlina/curve.h"
#include "outlina/offset.h"
#include "outlina/path.h"
#include "path/offset_path.h"
#include "path/room.h"
#include "path/stroke_codes.h"

namespace outlina {
namespace {

// A closed path becomes, per contour, its outer offset and its reversed inner offset, both
// from one prepared copy. The inner side is offset first, so that the outer offset can reserve
// the room for appending it.
bool widenClosed(JVect *path, OffsetWork &work, const OffsetParams &outer) {
  if (!prepareOffset(work)) return false;
  JVect *inner = jVectDuplicate(work.path);
  if (inner == nullptr) return false;
  OffsetParams innerPrm = outer;
  innerPrm.distance = -outer.distance;
  // jVectAdd keeps this much spare room after what it appends.
  const bool done = writeOffset(inner, work, innerPrm, 0) &&
                    writeOffset(path, work, outer, int64_t{inner->count} + kGrowthStep);
  if (done) {
    jVectReverse(inner, JVECT_ALL);
    jVectAdd(path, inner);
  }
  jVectClose(inner);
  return done;
}

// An open path becomes forward-and-back loops, whose turning points get the caps; the loops are
// made in the working copy, with their room reserved first.
bool widenOpen(JVect *path, OffsetWork &work, const OffsetParams &prm) {
  if (jVectGetNum(work.path) >= 2) {
    if (!reserveRecords(work.path, reverseLoopRecords(work.path))) return false;
    jVectMakeReverseLoop(work.path);
  }
  return prepareOffset(work) && writeOffset(path, work, prm, 0);
}

}  // namespace
}  // namespace outlina

extern "C" int32_t jVectWidenPath(JVect *path, float width, int32_t cap, int32_t join,
                                  float limit) {
  using namespace outlina;
  if (path == nullptr || !strokeCodesKnown(cap, join)) return 0;
  // Each side lies half the width from the line; the half is taken in double, stored as float.
  const OffsetParams prm{static_cast<float>(double{width} * 0.5), cap, join, limit, JVO_BOTH};
  // Everything is made in a working copy before the path changes, so that running out of
  // memory leaves the path as it was.
  OffsetWork work{jVectDuplicate(path), {}};
  if (work.path == nullptr) return 0;
  const bool done =
      jVectCheckLoop(path) == 1 ? widenClosed(path, work, prm) : widenOpen(path, work, prm);
  jVectClose(work.path);
  return done ? 1 : 0;
}
