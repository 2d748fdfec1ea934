#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "outlina.h"
#include "support/path_builder.h"
#include "weld/combine_reference.h"
#include "weld/weld_shapes.h"
#include "weld/winding_area.h"

namespace {

using testing_support::PathPtr;
using weld_shapes::Outline;

// Two shapes sharing the slanted edge (5, -6)-(9, -16); the first divides it at (5.5, -7.25),
// or, swapped, the second does. Their union is the quadrilateral (4, -6), (8, -6), (11, -16),
// (7, -16) of area 40 whichever way the edge is divided.
TEST(WeldSharedEdge, DividedDifferentlyStillWeldsToOneQuadrilateral) {
  const Outline divided = {{4, -6}, {5, -6}, {5.5f, -7.25f}, {9, -16}, {7, -16}};
  const Outline whole = {{9, -16}, {5, -6}, {8, -6}, {11, -16}};
  const Outline dividedRight = {{9, -16}, {5.5f, -7.25f}, {5, -6}, {8, -6}, {11, -16}};
  const Outline wholeLeft = {{4, -6}, {5, -6}, {9, -16}, {7, -16}};
  for (const auto &[a, b] :
       {std::pair{divided, whole}, std::pair{wholeLeft, dividedRight}, std::pair{whole, divided}}) {
    for (int32_t mode : {JWM_UNION, JWM_UNION_ALL}) {
      for (auto combine : {&jWeldCombineVect, &reference::combine}) {
        PathPtr path = weld_shapes::pathOf({a, b});
        ASSERT_EQ(combine(path.get(), mode), 1);
        EXPECT_EQ(winding_area::polygonsOf(path.get()).size(), 1u) << "rule " << mode;
        EXPECT_NEAR(weld_shapes::signedArea(path.get()), -40.0, 1e-4) << "rule " << mode;
      }
    }
  }
}

}  // namespace
