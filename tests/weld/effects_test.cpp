// The shadow, offset, widen and stripe effects on small squares, compared by their contours' boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "support/path_builder.h"
#include "weld/shadow.h"

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

TEST(WeldStripe, BandsInBothDirections) {
  const JWeldStripeParam horizontal{2, 1, 0, 0, 0}, vertical{2, 1, 1, 0, 0};
  PathPtr h = square(), v = square();
  ASSERT_EQ(jWeldStripe(&horizontal, h.get()), 1);
  ASSERT_EQ(jWeldStripe(&vertical, v.get()), 1);
  EXPECT_EQ(contourBoxes(h.get()),
            (Boxes{{0, 0, 10, 1}, {0, 2, 10, 4}, {0, 5, 10, 7}, {0, 8, 10, 10}}));
  EXPECT_EQ(contourBoxes(v.get()),
            (Boxes{{0, 0, 2, 10}, {3, 0, 5, 10}, {6, 0, 8, 10}, {9, 0, 10, 10}}));
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
  for (int32_t option : {6, -1}) {
    const JWeldShadowParam r{JWST_BLOCK, option, 1, 0, 100, 0.5f, 0, 0, 0};
    EXPECT_EQ(jWeldShadow(&r, p.get()), 0) << option;
  }
  EXPECT_EQ(jWeldShadow(nullptr, p.get()), 0);
  EXPECT_EQ(pointsOf(p.get()), before);
}

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
    EXPECT_EQ(contourBoxes(p.get()), c.boxes) << c.r.type << " option " << c.r.option;
  }
}

TEST(WeldShadow, RefusesAFlatCastWithoutTouchingThePath) {
  PathPtr flat = makePath({{1, 0, 0}, {2, 5, 0}, {2, 0, 0}});
  const Points before = pointsOf(flat.get());
  const JWeldShadowParam cast = shadowOf(JWST_CAST, 0, 1, 1);
  EXPECT_EQ(jWeldShadow(&cast, flat.get()), 0);
  EXPECT_EQ(pointsOf(flat.get()), before);
}

}  // namespace
