// Stripe records that can make no stripes are refused before the path changes: negative widths,
// and a box so large against the period that its slits would fill memory.
#include <gtest/gtest.h>

#include "support/path_builder.h"

namespace {

using namespace testing_support;

TEST(WeldStripeRefusal, NonsenseLeavesThePathAsItWas) {
  const struct {
    JWeldStripeParam record;
    float side;
  } cases[] = {
      {{3, -1, 0, 0, 0}, 10},  // the period is positive, the slit is not
      {{-1, 2, 1, 0, 0}, 10},
      {{1, 1, 0, 0, 0}, 1e30f},  // each direction would need some 1e30 slits
      {{1, 1, 1, 0, 0}, 1e30f},
      {{1, 1, 2, 30, 0}, 1e30f},
  };
  for (const auto &c : cases) {
    const float s = c.side;
    PathPtr p = makePath({{1, 0, 0}, {2, 0, s}, {2, s, s}, {2, s, 0}, {2, 0, 0}});
    const Points before = pointsOf(p.get());
    EXPECT_EQ(jWeldStripe(&c.record, p.get()), 0) << s;
    EXPECT_EQ(pointsOf(p.get()), before) << s;
  }
}

}  // namespace
