#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "outlina.h"
#include "support/path_builder.h"
#include "weld/weld_shapes.h"

namespace {

using testing_support::makePath;
using testing_support::P;
using testing_support::PathPtr;
using testing_support::pointsOf;

bool hasY(const std::vector<P> &points, float y) {
  return std::any_of(points.begin(), points.end(), [y](const P &p) { return p.y == y; });
}

// A counter-clockwise circle of radius 50 whose 3-degree steps pass its top at another angle
// once it is reversed: the first slit must hang from the top of the reversed, flattened circle.
TEST(StripeBox, IsTakenAfterTheOrientationRule) {
  auto at = [](double degrees, int mode) {
    const double a = degrees / 180 * M_PI;
    return P{mode, static_cast<float>(50 * std::cos(a)), static_cast<float>(50 * std::sin(a))};
  };
  auto circle = [&] {
    return makePath({at(10.5, 1), at(126, 21), at(242, 22), at(301, 21), at(10.5, 22)});
  };
  std::array<float, 4> before{}, after{};
  jVectGetMinMax(before.data(), circle().get(), JVECT_ALL);
  PathPtr oriented = circle();
  jVectSetLoopDir(oriented.get(), JVLR_OUTER_NEGATIVE);
  jVectGetMinMax(after.data(), oriented.get(), JVECT_ALL);
  ASSERT_NE(before[3], after[3]);
  const JWeldStripeParam record{4, 3, 0, 0, 0};
  PathPtr path = circle();
  ASSERT_EQ(jWeldStripe(&record, path.get()), 1);
  const std::vector<P> cut = pointsOf(path.get());
  EXPECT_TRUE(hasY(cut, static_cast<float>(double{after[3]} - 4)));
  EXPECT_FALSE(hasY(cut, static_cast<float>(double{before[3]} - 4)));
}

// Horizontal bands need only the height over the band: a long flat box is cut, not refused.
TEST(StripeBox, NarrowBandsOnALongFlatBoxAreCut) {
  PathPtr path = makePath({{1, 0, 0}, {2, 0, 10}, {2, 3000, 10}, {2, 3000, 0}, {2, 0, 0}});
  const JWeldStripeParam record{0.006f, 0.006f, 0, 0, 0};
  ASSERT_EQ(jWeldStripe(&record, path.get()), 1);
  const std::vector<P> bands = pointsOf(path.get());
  EXPECT_GT(std::count_if(bands.begin(), bands.end(), [](const P &p) { return p.mode == 1; }), 800);
}

// Stripes narrower than the float step at the shape's coordinates give a result or a refusal,
// and end.
TEST(StripeBox, SlantedStripesNarrowerThanTheFloatStepEnd) {
  PathPtr path = weld_shapes::pathOf({weld_shapes::rectangle(1e6f, 1e6f, 1e6f + 1, 1e6f + 1)});
  const JWeldStripeParam stripes = {0.01f, 0.01f, 2, 30, 0};
  const int32_t result = jWeldStripe(&stripes, path.get());
  EXPECT_TRUE(result == 0 || result == 1);
}

// A host's three-point sliver is noise to the clean-up; the loop that jVectMakeReverseLoop makes
// of a single segment is widened into the band around it.
TEST(Sliver, GoesUnlessTheForwardAndBackLoopMadeIt) {
  PathPtr sliver = makePath({{1, 0, 0}, {2, 10, 0}, {2, 0, 0}});
  EXPECT_EQ(jVectOffsetPath(sliver.get(), 1, JVC_FLAT, JVJ_MITER, 4, JVO_BOTH), 1);
  EXPECT_EQ(jVectGetNum(sliver.get()), 0);
  PathPtr loop = makePath({{1, 0, 0}, {2, 10, 0}});
  ASSERT_EQ(jVectMakeReverseLoop(loop.get()), 1);
  EXPECT_EQ(jVectOffsetPath(loop.get(), 1, JVC_FLAT, JVJ_MITER, 4, JVO_BOTH), 1);
  EXPECT_EQ(pointsOf(loop.get()),
            (std::vector<P>{{1, 0, -1}, {2, 0, 1}, {2, 10, 1}, {2, 10, -1}, {2, 0, -1}}));
}

}  // namespace
