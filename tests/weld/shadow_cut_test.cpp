// The shadow options that cut outlines out of the shadow cut every point of them out once,
// however many side faces pass over it and whichever way its edges slant, and leave nothing of
// the outlines that the shadow does not reach.
#include <gtest/gtest.h>

#include "support/measure.h"

using namespace testing_support;

TEST(ShadowCut, RemovesTheCutOutlinesOnceUnderOverlappingFaces) {
  // Shadows 5 to the right of columns 1 wide and 2 high at x = -2, 0 and 2, slanted by shear.
  // The block faces of the first two columns both pass over the third; each row keeps the same
  // intervals whatever the slant. Kind, option, offset, shear and area: (9 - 2) x 2 with the
  // outlines or their zero offset cut out; (9 - 1.5 - 1.5) x 2.5 for the shadow of an offset of
  // 0.25 with that offset cut out; the three dropped columns alone, one of them touching the third.
  const std::tuple<int32_t, int32_t, float, float, double> cases[] = {
      {0, 1, 0, 0.5f, 14}, {0, 2, 0, 0.5f, 14}, {0, 5, 0.25f, 0, 15}, {1, 1, 0, 0, 6}};
  for (const auto &[kind, option, offset, shear, area] : cases) {
    PathPtr p(jVectOpen(16));
    for (float left : {-2.0f, 0.0f, 2.0f})
      for (const P &q : {P{1, 0, 0}, {2, 0, 2}, {2, 1, 2}, {2, 1, 0}, {2, 0, 0}})
        jVectAddPoint(p.get(), JVECT_LAST, q.mode, left + q.x + shear * q.y, q.y);
    const JWeldShadowParam r{kind, option, 5, 0, 100, offset, 0, 0, 0};
    ASSERT_EQ(jWeldShadow(&r, p.get()), 1);
    // Outer contours run clockwise: negative shoelace sums.
    EXPECT_NEAR(measure(p.get()).area, -area, 1e-4) << kind << " " << option << " " << offset;
  }
}
