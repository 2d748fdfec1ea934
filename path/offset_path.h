// The offset in its two stages, preparing a working copy and writing the offset from it, so that
// the widening can offset one prepared copy to both sides and reserve the room for the side
// that it appends.
#ifndef OUTLINA_PATH_OFFSET_PATH_H
#define OUTLINA_PATH_OFFSET_PATH_H

#include <cstdint>

#include "frame/work_array.h"
#include "geom/pt.h"
#include "outlina/path.h"

namespace outlina {

struct OffsetParams {
  float distance;
  int32_t cap, join;
  float limit;
  int32_t axis;
};

// The tag that jVectMakeReverseLoop gives the turning point B of the loop A, B, A that it makes
// of a single segment. The clean-up before the offset drops every contour of three points, a
// host's sliver among them, but keeps these loops, so that offsetting or widening a single line
// gives the band around it. Tags mean nothing on points other than a contour's start.
constexpr uint32_t kTurnBackTag = 0x4C4F4F50;

// A working copy of the path to be offset, each contour moved by minus the centre of its own box
// and flattened there, with those centres in contour order.
struct OffsetWork {
  JVect *path;
  WorkArray<Pt> centres;
};

// Sweeps, cleans, centres and flattens the working copy. False when memory runs out.
bool prepareOffset(OffsetWork &work);

// Replaces the points of path by the offset of the prepared working copy, with `extra` more
// records reserved for what the caller appends next. False, with path unchanged, when the room
// cannot be had.
bool writeOffset(JVect *path, const OffsetWork &work, const OffsetParams &prm, int64_t extra);

}  // namespace outlina

#endif
