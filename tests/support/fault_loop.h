// The allocation-failure loop: an operation runs with its 1st, 2nd, ... allocation failing until
// it runs through without a failure, and every answer is checked against the unfailed run.
#ifndef OUTLINA_TESTS_SUPPORT_FAULT_LOOP_H
#define OUTLINA_TESTS_SUPPORT_FAULT_LOOP_H

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "frame/plinth_fault.h"
#include "support/operations.h"
#include "support/path_builder.h"

namespace testing_support {

// No operation needs this many allocations; reaching it means the loop never ends.
constexpr int32_t kMostAllocations = 200;

// Runs op (1 for success, 0 for failure) on a fresh path from make() with the nth allocation
// failing, n = 1, 2, ..., until the switch no longer fires. A run that answers 0 must leave the
// path as onFailure says; a run that answers 1 must carry the whole result of the unfailed run.
// Answers whether the unfailed run succeeded; the loop runs only if it did.
template <typename Make, typename Op>
bool runFaultLoop(Make make, Op op, OnFailure onFailure) {
  PathPtr clean = make();
  if (op(clean.get()) != 1) return false;
  const std::vector<P> whole = pointsOf(clean.get());
  for (int32_t n = 1; n < kMostAllocations; ++n) {
    PathPtr path = make();
    const std::vector<P> before = pointsOf(path.get());
    jMemTestFailNth(n);
    const int32_t result = op(path.get());
    const bool fired = jMemTestArmed() == 0;
    jMemTestFailNth(0);
    if (result == 1) {
      EXPECT_EQ(pointsOf(path.get()), whole) << "answered 1 with allocation " << n << " failing";
    } else {
      EXPECT_TRUE(fired && result == 0) << "answered " << result << " at allocation " << n;
      if (onFailure == OnFailure::Unchanged) {
        EXPECT_EQ(pointsOf(path.get()), before) << n;
      }
      EXPECT_LE(jVectGetNum(path.get()), path->capacity) << n;
    }
    if (!fired) return true;
  }
  ADD_FAILURE() << "still allocating after " << kMostAllocations << " allocations";
  return true;
}

}  // namespace testing_support

#endif
