// Pieces that touch at one corner are two contours, whether rounding left them a float step
// apart, meeting or a step into each other.
#include <gtest/gtest.h>

#include <cmath>

#include "outlina.h"
#include "support/measure.h"
#include "support/path_builder.h"

namespace {

using namespace testing_support;

// The unit square and the square from (c, c) to (2, 2), both clockwise.
Points twoSquares(float c) {
  return {{1, 0, 0}, {2, 0, 1}, {2, 1, 1}, {2, 1, 0}, {2, 0, 0},
          {1, c, c}, {2, c, 2}, {2, 2, 2}, {2, 2, c}, {2, c, c}};
}

TEST(WeldCornerTouch, PiecesMeetingAtACornerStayApart) {
  for (const float c : {std::nextafter(1.0f, 0.0f), 1.0f, std::nextafter(1.0f, 2.0f)}) {
    PathPtr path = makePath(twoSquares(c));
    ASSERT_EQ(jWeldExecute(JWM_UNION, path.get()), 1);
    const Measure m = measure(path.get());
    EXPECT_EQ(m.contours, 2) << "second square from " << c;
    EXPECT_NEAR(m.area, -2, 1e-6);  // clockwise
  }
}

}  // namespace
