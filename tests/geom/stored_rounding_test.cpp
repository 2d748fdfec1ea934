// Values that depend on every constructed point being rounded to a float where it is stored.
// An optimiser that keeps such a point in double precision moves these by an ulp or more, and
// then builds disagree with each other.
#include <gtest/gtest.h>

#include <vector>

#include "outlina.h"
#include "support/path_builder.h"

namespace {

using testing_support::makePath;
using testing_support::P;
using testing_support::PathPtr;
using testing_support::pointsOf;

TEST(StoredRounding, QuadraticControlThroughTheMiddlePoint) {
  int32_t count = 3;
  float pts[8] = {0, 0, 50, 20, 100, 0};
  EXPECT_EQ(jMathLineToBezier(&count, pts), 0.0);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(pts[2], 42.8476715f);
  EXPECT_EQ(pts[3], 37.1390686f);
}

TEST(StoredRounding, CubicFitControlsAndError) {
  int32_t count = 7;
  float pts[14] = {0, 0, 10, 17.5f, 20, 28.25f, 30, 33, 40, 31.5f, 50, 24.75f, 60, 11};
  EXPECT_EQ(jMathLineToBezier(&count, pts), 0.37626143222581682);
  ASSERT_EQ(count, 4);
  const std::vector<float> controls(pts + 2, pts + 6);
  EXPECT_EQ(controls, (std::vector<float>{13.498991f, 29.9748154f, 46.7126427f, 36.0639839f}));
}

TEST(StoredRounding, CurvesFittedAgainByTheEffects) {
  // A 100 x 40 box arched, and a triangle offset outward by 5 with round joints, the corners
  // fitted again as cubic segments.
  PathPtr arched = makePath({{JVM_START, 0, 0}, {JVM_LINE, 100, 0}, {JVM_LINE, 100, 40},
                             {JVM_LINE, 0, 40}, {JVM_LINE, 0, 0}});
  const JVectransShapeParam arch{1, 100, 0, 0, 100, 40};
  jVectransShapeEffect(&arch, arched.get());
  PathPtr offset =
      makePath({{JVM_START, 0, 0}, {JVM_LINE, 100, 0}, {JVM_LINE, 30, 60}, {JVM_LINE, 0, 0}});
  const JWeldOffsetParam roundOffset{5, 0, 0, 0, JVJ_ROUND, 4, 0, 1};
  jWeldOffset(&roundOffset, offset.get());
  const struct {
    const char *name;
    const JVect *path;
    size_t firstControl;  // index of the first of two pinned control points
    P c1, c2;
  } cases[] = {
      {"arched lower edge", arched.get(), 1, {JVM_BEZ_CTRL1, 27.7631207f, 8.75000572f},
       {JVM_BEZ_CTRL2, 72.2368774f, 8.74999428f}},
      {"round offset corner at the start", offset.get(), 1,
       {JVM_BEZ_CTRL1, -2.78788376f, -4.99962616f}, {JVM_BEZ_CTRL2, -5.71862411f, -0.2576828f}},
  };
  for (const auto &c : cases) {
    const std::vector<P> points = pointsOf(c.path);
    ASSERT_GT(points.size(), c.firstControl + 1) << c.name;
    EXPECT_EQ(points[c.firstControl], c.c1) << c.name;
    EXPECT_EQ(points[c.firstControl + 1], c.c2) << c.name;
  }
}

}  // namespace
