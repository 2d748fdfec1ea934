// Room for an operation's output, reserved before the path is written, so that an operation
// either answers 1 with its whole output or 0 with the path as it was.
#ifndef OUTLINA_PATH_ROOM_H
#define OUTLINA_PATH_ROOM_H

#include <bit>
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
// Counting against a model, it also notes whether the points repeat the model's records bit for
// bit, tags included, so that an operation that would change nothing need not copy the path.
class PointSink {
 public:
  explicit PointSink(JVect *target = nullptr) : target_(target) {}
  static PointSink countingAgainst(const JVect *model) {
    PointSink sink;
    sink.model_ = model;
    return sink;
  }
  void add(int32_t mode, double x, double y) {
    if (target_ != nullptr)
      jVectAddPoint(target_, JVECT_LAST, static_cast<int16_t>(mode), static_cast<float>(x),
                    static_cast<float>(y));
    else if (model_ != nullptr)
      compare(mode, static_cast<float>(x), static_cast<float>(y));
    ++count_;
  }
  void dropLast() {
    --count_;
    same_ = false;  // what was compared no longer lines up with the model
    if (target_ != nullptr) jVectDelPoint(target_, JVECT_LAST);
  }
  void tagLast(uint32_t tag) {
    lastTag_ = tag;
    if (target_ != nullptr) jVectSetTag(target_, JVECT_LAST, tag);
  }
  int64_t count() const { return count_; }
  // Whether the points counted are the model's records, every one of them.
  bool repeatsModel() {
    compareLastTag();
    return model_ != nullptr && same_ && count_ == model_->count;
  }

 private:
  [[gnu::noinline]] void compare(int32_t mode, float x, float y) {
    compareLastTag();
    if (!same_ || count_ >= model_->count) {
      same_ = false;
      return;
    }
    const JVectPoint &r = model_->points[count_];
    same_ = r.mode == mode && std::bit_cast<uint32_t>(float{r.x}) == std::bit_cast<uint32_t>(x) &&
            std::bit_cast<uint32_t>(float{r.y}) == std::bit_cast<uint32_t>(y);
  }
  void compareLastTag() {
    if (same_ && count_ > 0) same_ = model_->points[count_ - 1].tag == lastTag_;
    lastTag_ = 0;
  }

  JVect *target_;
  const JVect *model_ = nullptr;
  int64_t count_ = 0;
  uint32_t lastTag_ = 0;  // the tag the last point counted would carry
  bool same_ = true;
};

// Replaces the path's points by the `records` that write(sink) appends, once their room is
// reserved. False, with the path unchanged, when the room cannot be had; write must not read the
// path itself.
template <typename Write>
bool rewriteCounted(JVect *path, int64_t records, Write write) {
  if (!reserveRecords(path, records)) return false;
  jVectClear(path);
  PointSink appender(path);
  write(appender);
  return true;
}

// As rewriteCounted, with write run once first to count, and room for `extra` more records.
template <typename Write>
bool rewrite(JVect *path, Write write, int64_t extra = 0) {
  PointSink counter;
  write(counter);
  return rewriteCounted(path, counter.count() + extra, write);
}

}  // namespace outlina

#endif
