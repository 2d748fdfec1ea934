// Work blocks from jMemAlloc that grow with the work, for the stages that must answer a failed
// allocation with a clean refusal rather than an exception.
#ifndef OUTLINA_FRAME_WORK_ARRAY_H
#define OUTLINA_FRAME_WORK_ARRAY_H

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "plinth.h"

namespace outlina {

// Grows a block from jMemAlloc to hold at least need records, keeping the first `capacity`
// ones; at least doubling keeps the copies linear in the final size. false (block unchanged)
// when the size passes what one block can hold or memory runs out.
template <class T>
bool growBlock(T *&block, int32_t &capacity, int64_t need) {
  if (need <= capacity) return true;
  const int64_t records = std::max<int64_t>(need, 2 * int64_t{capacity});
  const int64_t bytes = records * static_cast<int64_t>(sizeof(T));
  if (records > INT32_MAX || bytes > UINT32_MAX) return false;
  T *grown = static_cast<T *>(jMemAlloc(static_cast<uint32_t>(bytes)));
  if (grown == nullptr) return false;
  if (capacity > 0) std::memcpy(static_cast<void *>(grown), block, capacity * sizeof(T));
  jMemFree(block);
  block = grown;
  capacity = static_cast<int32_t>(records);
  return true;
}

// A heap block from jMemAlloc, zeroed, released on scope exit.
template <class T>
class WorkArray {
 public:
  WorkArray() = default;
  WorkArray(const WorkArray &) = delete;
  WorkArray &operator=(const WorkArray &) = delete;
  ~WorkArray() { jMemFree(data_); }
  // A fresh block of n records; the old contents are dropped.
  bool allocate(int64_t n) {
    jMemFree(data_);
    data_ = nullptr;
    capacity_ = 0;
    return reserve(std::max<int64_t>(n, 1));
  }
  // Room for n records, the contents kept.
  bool reserve(int64_t n) { return growBlock(data_, capacity_, n); }
  void swap(WorkArray &other) {
    std::swap(data_, other.data_);
    std::swap(capacity_, other.capacity_);
  }
  T &operator[](int64_t i) { return data_[i]; }
  const T &operator[](int64_t i) const { return data_[i]; }

 private:
  T *data_ = nullptr;
  int32_t capacity_ = 0;
};

}  // namespace outlina

#endif
