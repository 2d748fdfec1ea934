// The offset, widen and stripe effects from their records, on shapes whose answers are known.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "support/path_builder.h"
#include "weld/slits.h"

using testing_support::makePath;
using testing_support::P;
using testing_support::PathPtr;
using testing_support::pointsOf;

namespace {

using Box = std::array<float, 4>;

// The bounding boxes of a path's contours, rounded to 1e-3 and sorted, so that results can be
// compared whatever order the combine traces them in.
std::vector<Box> contourBoxes(const JVect *path) {
  std::vector<Box> boxes;
  for (int32_t s = 0; s < jVectGetNum(path); s = jVectGetEndPos(path, s) + 1) {
    float box[4];
    jVectGetMinMax(box, path, s);
    Box b;
    for (int i = 0; i < 4; ++i) b[i] = std::round(box[i] * 1000.0f) / 1000.0f;
    boxes.push_back(b);
  }
  std::sort(boxes.begin(), boxes.end());
  return boxes;
}

PathPtr square(float x0, float y0, float size) {
  // Clockwise with y up: outer contours in direction 1.
  return makePath({{1, x0, y0},
                   {2, x0, y0 + size},
                   {2, x0 + size, y0 + size},
                   {2, x0 + size, y0},
                   {2, x0, y0}});
}

}  // namespace

TEST(WeldOffset, SideOneNegatesTheDistance) {
  JWeldOffsetParam outward{2, 0, 0, 0, JVJ_MITER, 4, 0, 0};
  PathPtr grown = square(0, 0, 10);
  ASSERT_EQ(jWeldOffset(&outward, grown.get()), 1);
  EXPECT_EQ(contourBoxes(grown.get()), (std::vector<Box>{{-2, -2, 12, 12}}));

  JWeldOffsetParam inward = outward;
  inward.side = 1;
  PathPtr shrunk = square(0, 0, 10);
  ASSERT_EQ(jWeldOffset(&inward, shrunk.get()), 1);
  EXPECT_EQ(contourBoxes(shrunk.get()), (std::vector<Box>{{2, 2, 8, 8}}));
}

TEST(WeldOffset, AxisTicksMoveOnlyTheirCoordinate) {
  auto offsetBox = [](int32_t horizontal, int32_t vertical) {
    JWeldOffsetParam r{1, 0, horizontal, vertical, JVJ_MITER, 4, 0, 0};
    PathPtr p = square(0, 0, 10);
    EXPECT_EQ(jWeldOffset(&r, p.get()), 1);
    return contourBoxes(p.get());
  };
  EXPECT_EQ(offsetBox(1, 0), (std::vector<Box>{{-1, 0, 11, 10}}));
  EXPECT_EQ(offsetBox(0, 1), (std::vector<Box>{{0, -1, 10, 11}}));
  EXPECT_EQ(offsetBox(1, 1), offsetBox(0, 0));
  EXPECT_EQ(offsetBox(0, 0), (std::vector<Box>{{-1, -1, 11, 11}}));
}

TEST(WeldOffset, KeepInputAddsTheInputAsAHole) {
  JWeldOffsetParam r{1, 0, 0, 0, JVJ_MITER, 4, 1, 0};
  PathPtr p = square(0, 0, 10);
  ASSERT_EQ(jWeldOffset(&r, p.get()), 1);
  ASSERT_EQ(contourBoxes(p.get()), (std::vector<Box>{{-1, -1, 11, 11}, {0, 0, 10, 10}}));
  for (int32_t s = 0; s < jVectGetNum(p.get()); s = jVectGetEndPos(p.get(), s) + 1) {
    float box[4];
    jVectGetMinMax(box, p.get(), s);
    EXPECT_EQ(jVectGetLoopDir(p.get(), s), box[0] < 0 ? 1 : 2);
  }
}

TEST(WeldWiden, ClosedSquareBecomesAFrame) {
  JWeldWidenParam r{2, JVC_FLAT, JVJ_MITER, 4, 0};
  PathPtr p = square(0, 0, 10);
  ASSERT_EQ(jWeldWiden(&r, p.get()), 1);
  EXPECT_EQ(contourBoxes(p.get()), (std::vector<Box>{{-1, -1, 11, 11}, {1, 1, 9, 9}}));
}

TEST(WeldStripe, HorizontalSlitsAreCutFromTheTopDown) {
  JWeldStripeParam r{2, 1, 0, 0, 0};
  PathPtr slits(jVectOpen(64));
  const float box[4] = {0, 0, 10, 10};
  outlina::weldMakeSlits(r, slits.get(), box);
  const std::vector<P> first = {{1, -10, 8}, {2, -10, 7}, {2, 20, 7}, {2, 20, 8}, {2, -10, 8}};
  const std::vector<P> all = pointsOf(slits.get());
  ASSERT_EQ(all.size(), 20u);  // slits at 7-8, 4-5, 1-2 and -2 to -1
  EXPECT_EQ(std::vector<P>(all.begin(), all.begin() + 5), first);
  EXPECT_EQ(all[15], (P{1, -10, -1}));

  PathPtr p = square(0, 0, 10);
  ASSERT_EQ(jWeldStripe(&r, p.get()), 1);
  EXPECT_EQ(contourBoxes(p.get()),
            (std::vector<Box>{{0, 0, 10, 1}, {0, 2, 10, 4}, {0, 5, 10, 7}, {0, 8, 10, 10}}));
}

TEST(WeldStripe, VerticalBandsStartAtTheLeftEdge) {
  JWeldStripeParam r{2, 1, 1, 0, 0};
  PathPtr p = square(0, 0, 10);
  ASSERT_EQ(jWeldStripe(&r, p.get()), 1);
  EXPECT_EQ(contourBoxes(p.get()),
            (std::vector<Box>{{0, 0, 2, 10}, {3, 0, 5, 10}, {6, 0, 8, 10}, {9, 0, 10, 10}}));
}

TEST(WeldStripe, AngledBandsAreLaidOutFromTheDiagonalSquare) {
  // At 90 degrees the slits stand upright but start at the left side of the square of side
  // D = 10 * sqrt(2) around the box's centre, one unit further out.
  JWeldStripeParam r{2, 1, 2, 90, 0};
  PathPtr slits(jVectOpen(64));
  const float box[4] = {0, 0, 10, 10};
  outlina::weldMakeSlits(r, slits.get(), box);
  const float uL = static_cast<float>(0 - (10 * std::sqrt(2.0) - 10) * 0.5 - 1);
  EXPECT_NEAR(pointsOf(slits.get())[0].x, uL + 2, 1e-5);
}

TEST(WeldEffects, RefuseRecordsThatCannotWorkBeforeTouchingThePath) {
  PathPtr p = square(0, 0, 10);
  const std::vector<P> before = pointsOf(p.get());
  const JWeldStripeParam noWidth{1, -1, 0, 0, 0};
  const JWeldWidenParam badCap{1, 7, JVJ_MITER, 4, 0};
  const JWeldWidenParam badJoin{1, JVC_FLAT, 3, 4, 0};
  const JWeldOffsetParam badOffsetJoin{1, 0, 0, 0, 9, 4, 0, 0};
  const JWeldStripeParam tooMany{1e-6f, 1e-6f, 0, 0, 0};
  EXPECT_EQ(jWeldStripe(&noWidth, p.get()), 0);
  EXPECT_EQ(jWeldStripe(&tooMany, p.get()), 0);
  EXPECT_EQ(jWeldWiden(&badCap, p.get()), 0);
  EXPECT_EQ(jWeldWiden(&badJoin, p.get()), 0);
  EXPECT_EQ(jWeldOffset(&badOffsetJoin, p.get()), 0);
  EXPECT_EQ(jWeldOffset(nullptr, p.get()), 0);
  EXPECT_EQ(jWeldOffset(&badOffsetJoin, nullptr), 0);
  EXPECT_EQ(pointsOf(p.get()), before);
}
