#include "plinth.h"

#include <gtest/gtest.h>

#include <vector>

#include "frame/plinth_fault.h"

TEST(Plinth, AllocatesZeroedBlocksIncludingTheCombinesLargestTable) {
  auto *block = static_cast<unsigned char *>(jMemAlloc(22000000));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block[0], 0);
  EXPECT_EQ(block[21999999], 0);
  jMemFree(block);
  EXPECT_EQ(jMemAlloc(0), nullptr);
}

TEST(Plinth, FaultSwitchFailsExactlyTheNthAllocationOnce) {
  jMemTestFailNth(2);
  void *first = jMemAlloc(8);
  EXPECT_TRUE(first != nullptr && jMemTestArmed() == 1);
  EXPECT_EQ(jMemAlloc(8), nullptr);
  EXPECT_EQ(jMemTestArmed(), 0);
  void *third = jMemAlloc(8);
  EXPECT_NE(third, nullptr);
  jMemFree(first);
  jMemFree(third);
}

TEST(Plinth, MinMaxJudgeWidensOnlyTheSidesThePointPassesAndIgnoresNull) {
  float box[4] = {1, 1, 1, 1};
  jMinMaxJudge(box, 3, -2);
  jMinMaxJudge(box, 0, 0);
  EXPECT_EQ(std::vector<float>(box, box + 4), (std::vector<float>{0, -2, 3, 1}));
  EXPECT_EQ(jMinMaxJudge(nullptr, 1, 1), 1);
}
