// Room for an operation's output, reserved before the path is written, so that an operation
// either answers 1 with its whole output or 0 with the path as it was.
#ifndef OUTLINA_PATH_ROOM_H
#define OUTLINA_PATH_ROOM_H

#include <cstdint>

#include "outlina/path.h"

namespace outlina {

// Appending to a full path grows it by this many records, or by its capacity once that is
// larger, so that a path built point by point reallocates rarely.
constexpr int32_t kGrowthStep = 10000;

// Makes room for at least `records` records, growing as appending does. False,
// with the path unchanged, when the memory cannot be had.
bool reserveRecords(JVect *path, int64_t records);

// The records that jVectMakeReverseLoop's forward-and-back loops of the path take.
int64_t reverseLoopRecords(const JVect *path);

// Receives an operation's output points: without a path it only counts them, so that their
// room can be reserved; with one it appends them, which cannot fail once the room is there.
class PointSink {
 public:
  explicit PointSink(JVect *target = nullptr) : target_(target) {}
  void add(int32_t mode, double x, double y) {
    ++count_;
    if (target_ != nullptr)
      jVectAddPoint(target_, JVECT_LAST, static_cast<int16_t>(mode), static_cast<float>(x),
                    static_cast<float>(y));
  }
  void dropLast() {
    --count_;
    if (target_ != nullptr) jVectDelPoint(target_, JVECT_LAST);
  }
  void tagLast(uint32_t tag) {
    if (target_ != nullptr) jVectSetTag(target_, JVECT_LAST, tag);
  }
  int64_t count() const { return count_; }

 private:
  JVect *target_;
  int64_t count_ = 0;
};

// Replaces the path's points by what write(sink) appends: write runs once to count, and again
// into the cleared path once the room for the count and `extra` more records is reserved. False,
// with the path unchanged, when the room cannot be had; write must not read the path itself.
template <typename Write>
bool rewrite(JVect *path, Write write, int64_t extra = 0) {
  PointSink counter;
  write(counter);
  if (!reserveRecords(path, counter.count() + extra)) return false;
  jVectClear(path);
  PointSink appender(path);
  write(appender);
  return true;
}

}  // namespace outlina

#endif
