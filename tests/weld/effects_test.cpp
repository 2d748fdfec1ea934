// The shadow, offset, widen and stripe effects on small squares, compared by their contours' boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "support/path_builder.h"
#include "weld/shadow.h"
#include "weld/slits.h"

namespace {

using namespace testing_support;

using Boxes = std::vector<std::array<float, 4>>;

// Contour boxes rounded to 1e-3 and sorted, whatever order the combine traced them in.
Boxes contourBoxes(const JVect *path) {
  Boxes boxes;
  for (int32_t s = 0; s < jVectGetNum(path); s = jVectGetEndPos(path, s) + 1) {
    float box[4];
    jVectGetMinMax(box, path, s);
    boxes.push_back({});
    for (int i = 0; i < 4; ++i) boxes.back()[i] = std::round(box[i] * 1000.0f) / 1000.0f;
  }
  std::sort(boxes.begin(), boxes.end());
  return boxes;
}

// Clockwise with y up: an outer contour in direction 1.
PathPtr square() { return makePath({{1, 0, 0}, {2, 0, 10}, {2, 10, 10}, {2, 10, 0}, {2, 0, 0}}); }

TEST(WeldOffset, SideAxisTicksAndKeepInput) {
  struct Case {
    JWeldOffsetParam r;
    Boxes boxes;
  };
  const Case cases[] = {
      {{2, 0, 0, 0, JVJ_MITER, 4, 0, 0}, {{-2, -2, 12, 12}}},
      {{2, 1, 0, 0, JVJ_MITER, 4, 0, 0}, {{2, 2, 8, 8}}},  // side 1 negates the distance
      {{1, 0, 1, 0, JVJ_MITER, 4, 0, 0}, {{-1, 0, 11, 10}}},
      {{1, 0, 0, 1, JVJ_MITER, 4, 0, 0}, {{0, -1, 10, 11}}},
      {{1, 0, 1, 1, JVJ_MITER, 4, 0, 0}, {{-1, -1, 11, 11}}},
      {{1, 0, 0, 0, JVJ_MITER, 4, 1, 0}, {{-1, -1, 11, 11}, {0, 0, 10, 10}}},
  };
  for (const Case &c : cases) {
    PathPtr p = square();
    ASSERT_EQ(jWeldOffset(&c.r, p.get()), 1);
    EXPECT_EQ(contourBoxes(p.get()), c.boxes) << c.r.side << c.r.horizontal << c.r.vertical;
    // A kept input comes back as a hole inside the grown outline.
    for (int32_t s = 0; s < jVectGetNum(p.get()); s = jVectGetEndPos(p.get(), s) + 1) {
      float box[4];
      jVectGetMinMax(box, p.get(), s);
      EXPECT_EQ(jVectGetLoopDir(p.get(), s), box[0] == 0 && c.r.keepInput ? 2 : 1);
    }
  }
}

TEST(WeldWiden, ClosedSquareBecomesAFrame) {
  const JWeldWidenParam r{2, JVC_FLAT, JVJ_MITER, 4, 0};
  const Boxes frame{{-1, -1, 11, 11}, {1, 1, 9, 9}};
  PathPtr p = square();
  ASSERT_EQ(jWeldWiden(&r, p.get()), 1);
  EXPECT_EQ(contourBoxes(p.get()), frame);
}

TEST(WeldStripe, BandsInBothDirectionsAndAngledSlits) {
  const float box[4] = {0, 0, 10, 10};
  const JWeldStripeParam horizontal{2, 1, 0, 0, 0}, vertical{2, 1, 1, 0, 0};
  PathPtr slits(jVectOpen(64));
  outlina::weldMakeSlits(horizontal, slits.get(), box);
  const Points all = pointsOf(slits.get());
  ASSERT_EQ(all.size(), 20u);  // slits cut from the top down: 7-8, 4-5, 1-2 and -2 to -1
  EXPECT_EQ(Points(all.begin(), all.begin() + 5),
            (Points{{1, -10, 8}, {2, -10, 7}, {2, 20, 7}, {2, 20, 8}, {2, -10, 8}}));
  EXPECT_EQ(all[15], (P{1, -10, -1}));

  PathPtr h = square(), v = square();
  ASSERT_EQ(jWeldStripe(&horizontal, h.get()), 1);
  ASSERT_EQ(jWeldStripe(&vertical, v.get()), 1);
  EXPECT_EQ(contourBoxes(h.get()),
            (Boxes{{0, 0, 10, 1}, {0, 2, 10, 4}, {0, 5, 10, 7}, {0, 8, 10, 10}}));
  EXPECT_EQ(contourBoxes(v.get()),
            (Boxes{{0, 0, 2, 10}, {3, 0, 5, 10}, {6, 0, 8, 10}, {9, 0, 10, 10}}));

  // At 90 degrees the slits stand upright but start from the left side of the square of side
  // 10 * sqrt(2) around the box's centre, one unit further out.
  PathPtr angled(jVectOpen(64));
  outlina::weldMakeSlits({2, 1, 2, 90, 0}, angled.get(), box);
  const float uL = static_cast<float>(0 - (10 * std::sqrt(2.0) - 10) * 0.5 - 1);
  EXPECT_NEAR(pointsOf(angled.get())[0].x, uL + 2, 1e-5);
}

TEST(WeldEffects, RefuseRecordsThatCannotWorkBeforeTouchingThePath) {
  PathPtr p = square();
  const Points before = pointsOf(p.get());
  const JWeldStripeParam noWidth{1, -1, 0, 0, 0};
  const JWeldWidenParam badCap{1, 7, JVJ_MITER, 4, 0}, badJoin{1, JVC_FLAT, 3, 4, 0};
  const JWeldOffsetParam badJoint{1, 0, 0, 0, 9, 4, 0, 0};
  EXPECT_EQ(jWeldStripe(&noWidth, p.get()), 0);
  EXPECT_EQ(jWeldWiden(&badCap, p.get()), 0);
  EXPECT_EQ(jWeldWiden(&badJoin, p.get()), 0);
  EXPECT_EQ(jWeldOffset(&badJoint, p.get()), 0);
  EXPECT_EQ(jWeldOffset(nullptr, p.get()), 0);
  EXPECT_EQ(jWeldOffset(&badJoint, nullptr), 0);
  EXPECT_EQ(pointsOf(p.get()), before);
}

using Boxes = std::vector<std::array<float, 4>>;

PathPtr unitSquare() { return makePath({{1, 0, 0}, {2, 0, 1}, {2, 1, 1}, {2, 1, 0}, {2, 0, 0}}); }

JWeldShadowParam shadowOf(int32_t type, int32_t option, float dx, float dy) {
  return {type, option, dx, dy, 100, 0.5f, 0, 0, 0};
}

TEST(WeldShadow, OptionsJoinOrSeparateTheShadow) {
  struct Case {
    JWeldShadowParam r;
    Boxes boxes;
  };
  const Case cases[] = {
      {shadowOf(JWST_BLOCK, 0, 1, 0), {{0, 0, 2, 1}}},  // joined to the block
      {shadowOf(JWST_BLOCK, 1, 1, 0), {{1, 0, 2, 1}}},  // the band alone
      {shadowOf(JWST_DROP, 0, 0.5f, -0.5f), {{0, -0.5f, 1.5f, 1}}},
      {shadowOf(7, 0, 1, 0), {{0, 0, 1, 1}}},  // unknown kind: the combined input only
  };
  for (const Case &c : cases) {
    PathPtr p = unitSquare();
    ASSERT_EQ(jWeldShadow(&c.r, p.get()), 1);
    Boxes boxes;
    for (int32_t s = 0; s < jVectGetNum(p.get()); s = jVectGetEndPos(p.get(), s) + 1) {
      boxes.push_back({});
      jVectGetMinMax(boxes.back().data(), p.get(), s);
    }
    EXPECT_EQ(boxes, c.boxes) << c.r.type << " option " << c.r.option;
  }
  for (int32_t option = 2; option <= 5; ++option) {
    PathPtr p = makePath({{1, 0, 0}, {2, 0, 10}, {2, 10, 10}, {2, 10, 0}, {2, 0, 0}});
    const JWeldShadowParam r = shadowOf(JWST_DROP, option, 3, -3);
    ASSERT_EQ(jWeldShadow(&r, p.get()), 1) << option;
    EXPECT_GT(jVectGetNum(p.get()), 0) << option;
  }
}

TEST(WeldShadow, RefusesBadOptionsAndFlatCastsWithoutTouchingThePath) {
  PathPtr p = unitSquare();
  const Points before = pointsOf(p.get());
  for (int32_t option : {6, -1}) {
    const JWeldShadowParam r = shadowOf(JWST_BLOCK, option, 1, 0);
    EXPECT_EQ(jWeldShadow(&r, p.get()), 0) << option;
  }
  EXPECT_EQ(jWeldShadow(nullptr, p.get()), 0);
  EXPECT_EQ(pointsOf(p.get()), before);
  PathPtr flat = makePath({{1, 0, 0}, {2, 5, 0}, {2, 0, 0}});
  const Points flatBefore = pointsOf(flat.get());
  const JWeldShadowParam cast = shadowOf(JWST_CAST, 0, 1, 1);
  EXPECT_EQ(jWeldShadow(&cast, flat.get()), 0);
  EXPECT_EQ(pointsOf(flat.get()), flatBefore);
}

}  // namespace
