// The shadow effect's four kinds and six options on a unit and a 10 x 10 square.
#include "weld/shadow.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "support/path_builder.h"

using testing_support::makePath;
using testing_support::P;
using testing_support::PathPtr;
using testing_support::pointsOf;

namespace {

PathPtr unitSquare() { return makePath({{1, 0, 0}, {2, 0, 1}, {2, 1, 1}, {2, 1, 0}, {2, 0, 0}}); }

JWeldShadowParam shadowOf(int32_t type, int32_t option, float dx, float dy) {
  return {type, option, dx, dy, 100, 0.5f, 0, 0, 0};
}

std::vector<std::array<float, 4>> boxes(const JVect *path) {
  std::vector<std::array<float, 4>> out;
  for (int32_t s = 0; s < jVectGetNum(path); s = jVectGetEndPos(path, s) + 1) {
    float b[4];
    jVectGetMinMax(b, path, s);
    out.push_back({b[0], b[1], b[2], b[3]});
  }
  return out;
}

}  // namespace

TEST(ShadowBuild, BlockBandCoversOnlyTheEdgeThatFacesTheMove) {
  PathPtr p = unitSquare();
  const JWeldShadowParam r = shadowOf(JWST_BLOCK, 0, 1, 0);
  PathPtr shadow(outlina::weldBuildShadow(r, p.get()));
  ASSERT_TRUE(shadow);
  const std::vector<P> band = {{1, 1, 1}, {12, 2, 1}, {12, 2, 0}, {12, 1, 0}, {12, 1, 1}};
  EXPECT_EQ(pointsOf(shadow.get()), band);
}

TEST(ShadowBuild, PerspectiveAtFullSizeEqualsTheBlock) {
  PathPtr a = makePath({{1, 0, 0}, {2, 0, 4}, {2, 3, 6}, {2, 5, 1}, {2, 0, 0}});
  PathPtr b(jVectDuplicate(a.get()));
  JWeldShadowParam block = shadowOf(JWST_BLOCK, 0, 2, -1);
  JWeldShadowParam perspective = block;
  perspective.type = JWST_PERSPECTIVE;
  PathPtr s1(outlina::weldBuildShadow(block, a.get()));
  PathPtr s2(outlina::weldBuildShadow(perspective, b.get()));
  EXPECT_EQ(pointsOf(s1.get()), pointsOf(s2.get()));
  EXPECT_GT(jVectGetNum(s1.get()), 0);
}

TEST(ShadowBuild, CastSlantsOntoTheBottomLineInTheSquaresOwnOrder) {
  PathPtr p = makePath({{1, 0, 0}, {2, 0, 10}, {2, 10, 10}, {2, 10, 0}, {2, 0, 0}});
  PathPtr shadow(outlina::weldBuildShadow(shadowOf(JWST_CAST, 0, 5, 3), p.get()));
  const std::vector<P> expected = {{1, 0, 0}, {2, 5, 3}, {2, 15, 3}, {2, 10, 0}, {2, 0, 0}};
  EXPECT_EQ(pointsOf(shadow.get()), expected);
}

TEST(ShadowBuild, DropKeepsCurvesAndUnknownKindsCastNothing) {
  PathPtr p = makePath({{1, 0, 0}, {41, 1, 2}, {42, 3, 2}, {43, 4, 0}, {2, 0, 0}});
  PathPtr drop(outlina::weldBuildShadow(shadowOf(JWST_DROP, 0, 1, -1), p.get()));
  const std::vector<P> moved = {{1, 1, -1}, {41, 2, 1}, {42, 4, 1}, {43, 5, -1}, {2, 1, -1}};
  EXPECT_EQ(pointsOf(drop.get()), moved);
  PathPtr none(outlina::weldBuildShadow(shadowOf(7, 0, 1, -1), p.get()));
  ASSERT_TRUE(none);
  EXPECT_EQ(jVectGetNum(none.get()), 0);
}

TEST(WeldShadow, OptionZeroJoinsTheBlockAndOptionOneKeepsTheBandAlone) {
  PathPtr joined = unitSquare();
  JWeldShadowParam r = shadowOf(JWST_BLOCK, 0, 1, 0);
  ASSERT_EQ(jWeldShadow(&r, joined.get()), 1);
  EXPECT_EQ(boxes(joined.get()), (std::vector<std::array<float, 4>>{{0, 0, 2, 1}}));

  PathPtr alone = unitSquare();
  r.option = 1;
  ASSERT_EQ(jWeldShadow(&r, alone.get()), 1);
  EXPECT_EQ(boxes(alone.get()), (std::vector<std::array<float, 4>>{{1, 0, 2, 1}}));
}

TEST(WeldShadow, DropShadowWithOptionZeroIsOneContour) {
  PathPtr p = unitSquare();
  JWeldShadowParam r = shadowOf(JWST_DROP, 0, 0.5f, -0.5f);
  ASSERT_EQ(jWeldShadow(&r, p.get()), 1);
  EXPECT_EQ(boxes(p.get()), (std::vector<std::array<float, 4>>{{0, -0.5f, 1.5f, 1}}));
}

TEST(WeldShadow, OffsetOptionsCutOrBuildOnTheGrownOutline) {
  for (int32_t option = 2; option <= 5; ++option) {
    PathPtr p = makePath({{1, 0, 0}, {2, 0, 10}, {2, 10, 10}, {2, 10, 0}, {2, 0, 0}});
    JWeldShadowParam r = shadowOf(JWST_DROP, option, 3, -3);
    ASSERT_EQ(jWeldShadow(&r, p.get()), 1) << option;
    EXPECT_GT(jVectGetNum(p.get()), 0) << option;
  }
}

TEST(WeldShadow, RefusesBadOptionsAndFlatCastsWithoutTouchingThePath) {
  PathPtr p = unitSquare();
  const std::vector<P> before = pointsOf(p.get());
  JWeldShadowParam r = shadowOf(JWST_BLOCK, 6, 1, 0);
  EXPECT_EQ(jWeldShadow(&r, p.get()), 0);
  r.option = -1;
  EXPECT_EQ(jWeldShadow(&r, p.get()), 0);
  EXPECT_EQ(jWeldShadow(nullptr, p.get()), 0);
  PathPtr flat = makePath({{1, 0, 0}, {2, 5, 0}, {2, 0, 0}});
  const std::vector<P> flatBefore = pointsOf(flat.get());
  JWeldShadowParam cast = shadowOf(JWST_CAST, 0, 1, 1);
  EXPECT_EQ(jWeldShadow(&cast, flat.get()), 0);
  EXPECT_EQ(pointsOf(flat.get()), flatBefore);
  EXPECT_EQ(pointsOf(p.get()), before);
}

TEST(WeldShadow, UnknownKindLeavesTheCombinedOutlines) {
  PathPtr p = unitSquare();
  JWeldShadowParam r = shadowOf(7, 0, 1, 0);
  ASSERT_EQ(jWeldShadow(&r, p.get()), 1);
  EXPECT_EQ(boxes(p.get()), (std::vector<std::array<float, 4>>{{0, 0, 1, 1}}));
}
