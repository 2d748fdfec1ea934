#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "frame/plinth_fault.h"
#include "outlina.h"
#include "support/path_builder.h"

namespace {

using namespace testing_support;

// A 200 x 100 rectangle equal to its own reference box, clockwise with y up.
testing_support::PathPtr box() {
  return makePath({{1, 0, 0}, {2, 0, 100}, {2, 200, 100}, {2, 200, 0}, {2, 0, 0}});
}

// Runs the effect at 100 % and samples the refitted curves again, as the result is refitted.
Points shaped(int32_t type) {
  auto path = box();
  const JVectransShapeParam param{type, 100, 0.0f, 0.0f, 200.0f, 100.0f};
  EXPECT_EQ(jVectransShapeEffect(&param, path.get()), 1);
  EXPECT_EQ(jVectBezToSvt(path.get(), 3), 1);
  return pointsOf(path.get());
}

TEST(EnvelopeEffect, TypeOneArchesBothLongEdgesAndTypeTwentyFivePinchesTheTop) {
  // Type 1, k = 0.25: the lower edge peaks at 25 and the upper edge at 125 over the middle;
  // the vertical edges stay, as the sine is 0 at both ends of the width.
  float lowCrest = -1e9f, highCrest = -1e9f;
  for (const P &p : shaped(1)) {
    if (std::abs(p.x - 100.0f) < 1.0f) {
      float &crest = p.y < 50.0f ? lowCrest : highCrest;
      crest = std::max(crest, p.y);
    }
    EXPECT_TRUE(p.x >= -1e-3f && p.x <= 200.0f + 1e-3f) << p.x;
  }
  EXPECT_NEAR(lowCrest, 25.0f, 0.3f);
  EXPECT_NEAR(highCrest, 125.0f, 0.3f);
  // Type 25 draws the upper edge in to three quarters over the middle; the bottom stays.
  float lowestTop = 1e9f, lowest = 1e9f;
  for (const P &p : shaped(25)) {
    if (std::abs(p.x - 100.0f) < 1.0f && p.y > 50.0f) lowestTop = std::min(lowestTop, p.y);
    lowest = std::min(lowest, p.y);
  }
  EXPECT_NEAR(lowestTop, 75.0f, 0.3f);
  EXPECT_NEAR(lowest, 0.0f, 1e-3f);
}

TEST(EnvelopeEffect, TypesOutsideTheTableLeaveTheOutlineUndistorted) {
  for (int32_t type : {0, 33, -4}) {
    auto path = box();
    const JVectransShapeParam param{type, 100, 0.0f, 0.0f, 200.0f, 100.0f};
    ASSERT_EQ(jVectransShapeEffect(&param, path.get()), 1);
    // The flattened straight runs fit back to the four corners.
    EXPECT_EQ(pointsOf(path.get()), pointsOf(box().get())) << type;
  }
}

TEST(EnvelopeEffect, RefusesBadInputBeforeTouchingThePath) {
  auto path = box();
  const auto before = pointsOf(path.get());
  const JVectransShapeParam flat{1, 100, 0.0f, 5.0f, 200.0f, 5.0f};
  EXPECT_EQ(jVectransShapeEffect(&flat, path.get()), 0);
  const JVectransShapeParam narrow{5, 100, 3.0f, 0.0f, 3.0f, 100.0f};
  EXPECT_EQ(jVectransShapeEffect(&narrow, path.get()), 0);
  EXPECT_EQ(jVectransShapeEffect(nullptr, path.get()), 0);
  EXPECT_EQ(pointsOf(path.get()), before);
  const JVectransShapeParam good{1, 100, 0.0f, 0.0f, 200.0f, 100.0f};
  EXPECT_EQ(jVectransShapeEffect(&good, nullptr), 0);
  EXPECT_EQ(jVectransShapeEffect(&good, makePath({{1, 0, 0}}).get()), 0);
}

TEST(EnvelopeEffect, FailedFlatteningAllocationAnswersZero) {
  const JVectransShapeParam param{9, 60, 0.0f, 0.0f, 200.0f, 100.0f};
  for (int n = 1;; ++n) {
    auto path = box();
    jMemTestFailNth(n);
    const int32_t result = jVectransShapeEffect(&param, path.get());
    const bool fired = !jMemTestArmed();
    jMemTestFailNth(0);
    if (!fired) {
      EXPECT_EQ(result, 1);
      break;
    }
    // Refused while flattening (path as it was), or refitting gave up and the runs stay.
    if (result == 0) {
      EXPECT_EQ(pointsOf(path.get()), pointsOf(box().get())) << n;
    }
    ASSERT_LT(n, 1000);
  }
}

}  // namespace
