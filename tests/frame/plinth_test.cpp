#include "plinth.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// A freed block may come back for the next request of about its size; it must come back cleared,
// and two live blocks must never share memory.
TEST(Plinth, BlocksFreedAndAskedForAgainComeBackZeroedAndApart) {
  for (uint32_t size : {70000u, 200000u, 900000u}) {
    auto *dirty = static_cast<unsigned char *>(jMemAlloc(size));
    ASSERT_NE(dirty, nullptr);
    std::fill(dirty, dirty + size, 0xA5);
    jMemFree(dirty);
    auto *again = static_cast<unsigned char *>(jMemAlloc(size - 1000));
    auto *other = static_cast<unsigned char *>(jMemAlloc(size - 1000));
    ASSERT_TRUE(again != nullptr && other != nullptr);
    EXPECT_EQ(std::count(again, again + size - 1000, 0), size - 1000) << size;
    EXPECT_EQ(std::count(other, other + size - 1000, 0), size - 1000) << size;
    EXPECT_TRUE(again + size - 1000 <= other || other + size - 1000 <= again) << size;
    jMemFree(again);
    jMemFree(other);
  }
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
  EXPECT_EQ(jMinMaxJudge(box, 3, -2), 1);
  jMinMaxJudge(box, 0, 0);
  EXPECT_EQ(std::vector<float>(box, box + 4), (std::vector<float>{0, -2, 3, 1}));
  EXPECT_EQ(jMinMaxJudge(nullptr, 1, 1), 1);
}
