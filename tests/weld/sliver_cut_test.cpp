// The finish cuts a bridge narrower than a float step of where the work lay, and only that.
#include <gtest/gtest.h>

#include "support/measure.h"
#include "weld/finish.h"

using namespace testing_support;

// Two 4 x 4 squares joined by a bridge 2 long and 3e-5 wide, clockwise with y up. Worked 1000
// from the origin, the coordinates were rounded to steps of 6.1e-5 and the bridge is rounding;
// at the origin the steps are 1e-6 and the bridge is drawn.
TEST(WeldFinish, CutsABridgeNarrowerThanTheStepWhereTheWorkLay) {
  const Points dumbbell = {{1, 0, 0}, {2, 0, 4},  {2, 4, 4},  {2, 4, 2.00003f}, {2, 6, 2.00003f},
                           {2, 6, 4}, {2, 10, 4}, {2, 10, 0}, {2, 6, 0},        {2, 6, 2},
                           {2, 4, 2}, {2, 4, 0},  {2, 0, 0}};
  for (const float far : {1000.0f, 0.0f}) {
    PathPtr path = makePath(dumbbell);
    ASSERT_TRUE(outlina::weldFinish(path.get(), false, {far, -far}));
    EXPECT_EQ(measure(path.get()).contours, far != 0 ? 2 : 1) << far;
    EXPECT_NEAR(measure(path.get()).area, -32.0, 1e-4);
  }
}
