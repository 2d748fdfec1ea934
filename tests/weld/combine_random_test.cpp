#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "outlina.h"
#include "support/path_builder.h"
#include "weld/combine_reference.h"
#include "weld/weld_shapes.h"
#include "weld/winding_area.h"

namespace {

using namespace testing_support;

using weld_shapes::addOutline;
using weld_shapes::Outline;
using weld_shapes::pathOf;

std::vector<Outline> starField(std::mt19937 &rng, int count, float field, float radius) {
  std::uniform_real_distribution<float> at(0, field);
  std::uniform_int_distribution<int> vertices(3, 12);
  std::vector<Outline> out;
  for (int k = 0; k < count; ++k)
    out.push_back(weld_shapes::randomStar(rng, at(rng), at(rng), radius, vertices(rng)));
  return out;
}

// Small integer polygons in a few directions: shared edges, touching vertices, collinear
// overlaps, nesting and bow-ties all turn up.
std::vector<Outline> gridPolygons(std::mt19937 &rng, int count) {
  std::uniform_int_distribution<int> coord(0, 6), size(3, 6);
  std::vector<Outline> out;
  for (int k = 0; k < count; ++k) {
    Outline o;
    const int n = size(rng);
    for (int v = 0; v < n; ++v)
      o.push_back({static_cast<float>(coord(rng)), static_cast<float>(coord(rng))});
    out.push_back(o);
  }
  return out;
}

// Lines through one point: every star edge passes through the centre's neighbourhood.
std::vector<Outline> fans(std::mt19937 &rng, int count) {
  std::uniform_real_distribution<float> angle(0, 6.2831853f);
  std::vector<Outline> out;
  for (int k = 0; k < count; ++k) {
    const float a = angle(rng), b = a + 2.5f;
    out.push_back({{0, 0}, {4 * std::cos(a), 4 * std::sin(a)}, {4 * std::cos(b), 4 * std::sin(b)}});
    out.push_back(
        {{-4 * std::cos(a), -4 * std::sin(a)}, {0, 0}, {-4 * std::cos(b), -4 * std::sin(b)}});
  }
  return out;
}

void expectSameAsReference(const std::vector<Outline> &outlines, const std::string &what) {
  for (int32_t mode = 1; mode <= 4; ++mode) {
    PathPtr fast = pathOf(outlines), plain = pathOf(outlines);
    const int32_t a = jWeldCombineVect(fast.get(), mode);
    const int32_t b = reference::combine(plain.get(), mode);
    ASSERT_EQ(a, b) << what << " rule " << mode;
    ASSERT_EQ(pointsOf(fast.get()), pointsOf(plain.get())) << what << " rule " << mode;
  }
}

TEST(WeldCombineIndexed, MatchesTheScanningStagesOnManyInputs) {
  std::mt19937 rng(20261205);
  for (int round = 0; round < 30; ++round) {
    expectSameAsReference(gridPolygons(rng, 2 + round % 5), "grid " + std::to_string(round));
    expectSameAsReference(fans(rng, 1 + round % 4), "fan " + std::to_string(round));
    expectSameAsReference(starField(rng, 3 + round % 20, 30, 8), "stars " + std::to_string(round));
  }
  // Nested and bow-tied shapes, and mixed directions.
  expectSameAsReference({weld_shapes::rectangle(0, 0, 9, 9),
                         weld_shapes::rectangle(1, 1, 8, 8, true),
                         weld_shapes::rectangle(2, 2, 7, 7),
                         {{0, 0}, {9, 9}, {9, 0}, {0, 9}}},
                        "nested");
}

double combinedArea(const std::vector<Outline> &outlines, int32_t mode) {
  PathPtr path = pathOf(outlines);
  EXPECT_EQ(jWeldCombineVect(path.get(), mode), 1);
  // Result contours bound their region, so crossing any of them toggles in and out.
  return winding_area::area(winding_area::polygonsOf(path.get()), [](int w) { return w % 2 != 0; });
}

TEST(WeldCombineArea, RulesMatchTheWindingNumbersOfTheInput) {
  std::mt19937 rng(7);
  for (int round = 0; round < 12; ++round) {
    const auto outlines = starField(rng, 4 + round, 40, 10);
    const auto input = winding_area::polygonsOf(pathOf(outlines).get());
    const struct { int32_t mode; bool (*inside)(int); } rules[] = {
        {JWM_UNION_ALL, [](int w) { return w >= 1; }},
        {JWM_INTERSECT, [](int w) { return w >= 2; }},
        {JWM_HOLE, [](int w) { return w == 1; }}};
    const double scale = winding_area::area(input, rules[0].inside);
    for (const auto &rule : rules)
      EXPECT_NEAR(combinedArea(outlines, rule.mode), winding_area::area(input, rule.inside),
                  1e-5 * scale) << round << " rule " << rule.mode;
  }
}

}  // namespace
