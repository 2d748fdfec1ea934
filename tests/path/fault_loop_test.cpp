#include "support/fault_loop.h"

#include <gtest/gtest.h>

namespace {

using testing_support::PathPtr;

TEST(FaultLoop, EveryOperationFailsWholeOrSucceedsWhole) {
  for (const testing_support::Operation &op : testing_support::publicOperations()) {
    SCOPED_TRACE(op.name);
    EXPECT_TRUE(testing_support::runFaultLoop(op.sample, op.run, op.onFailure)) << "no success";
  }
}

// The operations that only read or edit in place take no memory at all.
TEST(FaultLoop, MeasuringAndEditingInPlaceAllocateNothing) {
  PathPtr path = testing_support::curves();
  float box[4];
  jMemTestFailNth(1);
  jVectGetMinMax(box, path.get(), JVECT_ALL);
  jVectIsInside(path.get(), 0, 30, 10);
  jVectGetLoopDir(path.get(), 0);
  jVectReverse(path.get(), JVECT_ALL);
  jVectSetStartPos(path.get(), 3);
  jVectGetLine(path.get());
  jVectDelNoise(path.get());
  jVectSetAttri(path.get());
  jVectScale(path.get(), 2);
  jVectSnap(path.get(), 0.5f);
  jVectDelPoint(path.get(), 1);
  jVectRewindPoint(path.get(), 1);
  EXPECT_EQ(jMemTestArmed(), 1);
  jMemTestFailNth(0);
}

}  // namespace
