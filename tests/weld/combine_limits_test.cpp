#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "outlina.h"
#include "support/path_builder.h"
#include "weld/weld_shapes.h"

namespace {

using testing_support::PathPtr;
using weld_shapes::addOutline;
using weld_shapes::rectangle;

// Sizes past every table of earlier, fixed-size versions: 100,000 contours, 10,000 crossings
// on one segment and 10,000 segments on one probe line.
constexpr int32_t kContours = 100000;
constexpr int32_t kTeeth = 5000;

TEST(WeldCombineLarge, TablesGrowWithTheWork) {
  PathPtr many(jVectOpen(5 * kContours + 8));
  for (int32_t k = 0; k < kContours; ++k)
    addOutline(many.get(),
               rectangle(k % 400 * 2.0f, k / 400 * 2.0f, k % 400 * 2.0f + 1, k / 400 * 2.0f + 1));
  ASSERT_EQ(jWeldCombineVect(many.get(), JWM_UNION_ALL), 1);
  EXPECT_EQ(jVectGetNum(many.get()), 5 * kContours);
  EXPECT_DOUBLE_EQ(weld_shapes::signedArea(many.get()), -kContours);

  // A bar whose top edge the teeth cross twice each: one outline of bar and tooth tops.
  PathPtr bar(jVectOpen(16));
  addOutline(bar.get(), rectangle(0, 0, kTeeth + 1.0f, 1));
  for (int32_t k = 0; k < kTeeth; ++k)
    addOutline(bar.get(), rectangle(k + 0.25f, 0.5f, k + 0.75f, 2));
  ASSERT_EQ(jWeldCombineVect(bar.get(), JWM_UNION_ALL), 1);
  EXPECT_DOUBLE_EQ(weld_shapes::signedArea(bar.get()), -(kTeeth + 1.0 + 0.5 * kTeeth));

  // One comb-shaped contour: the probe of its first, upright edge meets every tooth twice.
  weld_shapes::Outline comb = {{0, 0}};
  for (int32_t k = 0; k < kTeeth; ++k) {
    const float x = 2.0f * k;
    comb.insert(comb.end(), {{x, 9}, {x + 1, 9}, {x + 1, 1}, {x + 2, 1}});
  }
  comb.back() = {comb.back().x - 1, 0};
  PathPtr combPath(jVectOpen(16));
  addOutline(combPath.get(), comb);
  ASSERT_EQ(jWeldCombineVect(combPath.get(), JWM_UNION_ALL), 1);
  EXPECT_EQ(jVectGetNum(combPath.get()), kTeeth * 4 + 2);
}

}  // namespace
