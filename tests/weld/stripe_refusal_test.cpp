// Stripe records that can make no stripes are refused before the path changes: negative widths,
// and a box so large against the period that its slits would fill memory.
#include <gtest/gtest.h>

#include <utility>

#include "support/path_builder.h"

namespace {

using namespace testing_support;

TEST(WeldStripeRefusal, NonsenseLeavesThePathAsItWas) {
  // Negative widths of a positive period on a small square; then, in each direction, a square
  // that would take some 1e30 slits.
  const std::pair<JWeldStripeParam, float> cases[] = {{{3, -1, 0, 0, 0}, 10},
                                                      {{-1, 2, 1, 0, 0}, 10},
                                                      {{1, 1, 0, 0, 0}, 1e30f},
                                                      {{1, 1, 1, 0, 0}, 1e30f},
                                                      {{1, 1, 2, 30, 0}, 1e30f}};
  for (const auto &[record, s] : cases) {
    PathPtr p = makePath({{1, 0, 0}, {2, 0, s}, {2, s, s}, {2, s, 0}, {2, 0, 0}});
    const Points before = pointsOf(p.get());
    EXPECT_EQ(jWeldStripe(&record, p.get()), 0) << s;
    EXPECT_EQ(pointsOf(p.get()), before) << s;
  }
}

}  // namespace
