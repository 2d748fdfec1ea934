// The shadow effect's four kinds and its options on a unit and a 10 x 10 square.
#include "weld/shadow.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "support/path_builder.h"

namespace {

using namespace testing_support;

using Boxes = std::vector<std::array<float, 4>>;

PathPtr unitSquare() { return makePath({{1, 0, 0}, {2, 0, 1}, {2, 1, 1}, {2, 1, 0}, {2, 0, 0}}); }

JWeldShadowParam shadowOf(int32_t type, int32_t option, float dx, float dy) {
  return {type, option, dx, dy, 100, 0.5f, 0, 0, 0};
}

Points built(const JWeldShadowParam &r, const PathPtr &p) {
  PathPtr shadow(outlina::weldBuildShadow(r, p.get()));
  EXPECT_TRUE(shadow);
  return shadow ? pointsOf(shadow.get()) : Points{};
}

TEST(ShadowBuild, EachKindBuildsItsOwnShape) {
  // The block's band covers only the edge that faces the move.
  EXPECT_EQ(built(shadowOf(JWST_BLOCK, 0, 1, 0), unitSquare()),
            (Points{{1, 1, 1}, {12, 2, 1}, {12, 2, 0}, {12, 1, 0}, {12, 1, 1}}));
  // The cast slants onto the bottom line, in the square's own order.
  const PathPtr big = makePath({{1, 0, 0}, {2, 0, 10}, {2, 10, 10}, {2, 10, 0}, {2, 0, 0}});
  EXPECT_EQ(built(shadowOf(JWST_CAST, 0, 5, 3), big),
            (Points{{1, 0, 0}, {2, 5, 3}, {2, 15, 3}, {2, 10, 0}, {2, 0, 0}}));
  // The drop keeps curves; an unknown kind casts nothing.
  const PathPtr curved = makePath({{1, 0, 0}, {41, 1, 2}, {42, 3, 2}, {43, 4, 0}, {2, 0, 0}});
  EXPECT_EQ(built(shadowOf(JWST_DROP, 0, 1, -1), curved),
            (Points{{1, 1, -1}, {41, 2, 1}, {42, 4, 1}, {43, 5, -1}, {2, 1, -1}}));
  EXPECT_TRUE(built(shadowOf(7, 0, 1, -1), curved).empty());
  // A perspective at full size is the block.
  const PathPtr quad = makePath({{1, 0, 0}, {2, 0, 4}, {2, 3, 6}, {2, 5, 1}, {2, 0, 0}});
  const auto block = built(shadowOf(JWST_BLOCK, 0, 2, -1), quad);
  EXPECT_FALSE(block.empty());
  EXPECT_EQ(built(shadowOf(JWST_PERSPECTIVE, 0, 2, -1), quad), block);
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
