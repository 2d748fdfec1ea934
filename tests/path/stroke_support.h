// Test helper for the path operations that allocate.
#ifndef OUTLINA_TESTS_PATH_STROKE_SUPPORT_H
#define OUTLINA_TESTS_PATH_STROKE_SUPPORT_H

#include <gtest/gtest.h>

#include "frame/plinth_fault.h"
#include "support/path_builder.h"

namespace testing_support {

// Runs op on a fresh path with the nth allocation failing, n = 1, 2, ...: every failure must
// answer 0 (or still 1) without faults, and the first run the switch survives must give 1
// and the expected points.
template <typename Make, typename Op>
void expectAllocationFailuresHandled(Make make, Op op, const Points &expected) {
  for (int32_t n = 1; n < 100; ++n) {
    PathPtr path = make();
    jMemTestFailNth(n);
    const int32_t result = op(path.get());
    const bool fired = jMemTestArmed() == 0;
    jMemTestFailNth(0);
    if (!fired) {
      EXPECT_EQ(result, 1);
      EXPECT_EQ(pointsOf(path.get()), expected);
      return;
    }
  }
  ADD_FAILURE() << "the operation never finished without an allocation failure";
}

}  // namespace testing_support

#endif
