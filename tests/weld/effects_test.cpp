// The shadow, offset, widen and stripe effects on small squares, compared by their contours'
// boxes and directions.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "support/path_builder.h"

namespace {

using namespace testing_support;

using Boxes = std::vector<std::array<float, 5>>;
using Effect = std::function<int32_t(JVect *)>;

// Contour boxes rounded to 1e-3, each with its direction, sorted whatever order the combine
// traced them in.
Boxes contourBoxes(const JVect *path) {
  Boxes boxes;
  for (int32_t s = 0; s < jVectGetNum(path); s = jVectGetEndPos(path, s) + 1) {
    float box[4];
    jVectGetMinMax(box, path, s);
    boxes.push_back({0, 0, 0, 0, static_cast<float>(jVectGetLoopDir(path, s))});
    for (int i = 0; i < 4; ++i) boxes.back()[i] = std::round(box[i] * 1000.0f) / 1000.0f;
  }
  std::sort(boxes.begin(), boxes.end());
  return boxes;
}

// Clockwise with y up: an outer contour in direction 1.
PathPtr square(float size) {
  return makePath({{1, 0, 0}, {2, 0, size}, {2, size, size}, {2, size, 0}, {2, 0, 0}});
}

Effect offset(JWeldOffsetParam r) {
  return [r](JVect *p) { return jWeldOffset(&r, p); };
}
Effect widen(JWeldWidenParam r) {
  return [r](JVect *p) { return jWeldWiden(&r, p); };
}
Effect stripe(JWeldStripeParam r) {
  return [r](JVect *p) { return jWeldStripe(&r, p); };
}
Effect shadow(int32_t type, int32_t option, float dx, float dy) {
  const JWeldShadowParam r{type, option, dx, dy, 100, 0.5f, 0, 0, 0};
  return [r](JVect *p) { return jWeldShadow(&r, p); };
}

TEST(WeldEffects, SquaresBecomeTheExpectedContours) {
  const struct {
    float size;
    Effect run;
    Boxes boxes;
  } cases[] = {
      {10, offset({2, 0, 0, 0, JVJ_MITER, 4, 0, 0}), {{-2, -2, 12, 12, 1}}},
      {10, offset({2, 1, 0, 0, JVJ_MITER, 4, 0, 0}), {{2, 2, 8, 8, 1}}},  // side 1 negates
      {10, offset({1, 0, 1, 0, JVJ_MITER, 4, 0, 0}), {{-1, 0, 11, 10, 1}}},
      {10, offset({1, 0, 0, 1, JVJ_MITER, 4, 0, 0}), {{0, -1, 10, 11, 1}}},
      // A kept input comes back as a hole inside the grown outline.
      {10, offset({1, 0, 0, 0, JVJ_MITER, 4, 1, 0}), {{-1, -1, 11, 11, 1}, {0, 0, 10, 10, 2}}},
      {10, widen({2, JVC_FLAT, JVJ_MITER, 4, 0}), {{-1, -1, 11, 11, 1}, {1, 1, 9, 9, 2}}},
      {10,
       stripe({2, 1, 0, 0, 0}),
       {{0, 0, 10, 1, 1}, {0, 2, 10, 4, 1}, {0, 5, 10, 7, 1}, {0, 8, 10, 10, 1}}},
      {10,
       stripe({2, 1, 1, 0, 0}),
       {{0, 0, 2, 10, 1}, {3, 0, 5, 10, 1}, {6, 0, 8, 10, 1}, {9, 0, 10, 10, 1}}},
      {1, shadow(JWST_BLOCK, 0, 1, 0), {{0, 0, 2, 1, 1}}},  // joined to the block
      {1, shadow(JWST_BLOCK, 1, 1, 0), {{1, 0, 2, 1, 1}}},  // the band alone
      {1, shadow(JWST_DROP, 0, 0.5f, -0.5f), {{0, -0.5f, 1.5f, 1, 1}}},
      {1, shadow(7, 0, 1, 0), {{0, 0, 1, 1, 1}}},  // unknown kind: the combined input only
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    PathPtr p = square(cases[i].size);
    ASSERT_EQ(cases[i].run(p.get()), 1) << i;
    EXPECT_EQ(contourBoxes(p.get()), cases[i].boxes) << i;
  }
}

TEST(WeldEffects, RefuseRecordsThatCannotWorkBeforeTouchingThePath) {
  const JWeldOffsetParam badJoint{1, 0, 0, 0, 9, 4, 0, 0};
  const Effect refused[] = {stripe({1, -1, 0, 0, 0}), widen({1, 7, JVJ_MITER, 4, 0}),
                            offset(badJoint), shadow(JWST_BLOCK, 6, 1, 0),
                            [](JVect *p) { return jWeldShadow(nullptr, p); }};
  PathPtr p = square(10);
  const Points before = pointsOf(p.get());
  for (const Effect &run : refused) EXPECT_EQ(run(p.get()), 0);
  EXPECT_EQ(pointsOf(p.get()), before);
  EXPECT_EQ(jWeldOffset(&badJoint, nullptr), 0);
  // A cast shadow of a flat outline has no side to fall from.
  PathPtr flat = makePath({{1, 0, 0}, {2, 5, 0}, {2, 0, 0}});
  const Points flatBefore = pointsOf(flat.get());
  EXPECT_EQ(shadow(JWST_CAST, 0, 1, 1)(flat.get()), 0);
  EXPECT_EQ(pointsOf(flat.get()), flatBefore);
}

}  // namespace
