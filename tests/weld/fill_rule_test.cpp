// The combine's rules and the fill rules against the winding numbers of their input, integrated
// independently.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "outlina.h"
#include "support/path_builder.h"
#include "weld/weld_shapes.h"
#include "weld/winding_area.h"

namespace {

using testing_support::PathPtr;
using weld_shapes::Outline;

// Overlapping stars, every other one reversed, and a self-crossing pentagram whose centre has
// winding 2: the rules part ways on both.
std::vector<Outline> mixedDirections(std::mt19937 &rng, int count) {
  std::uniform_real_distribution<float> at(0, 30);
  std::vector<Outline> out;
  for (int k = 0; k < count; ++k) {
    Outline star = weld_shapes::randomStar(rng, at(rng), at(rng), 9, 5 + k % 6);
    if (k % 2 == 1) star.assign(star.rbegin(), star.rend());
    out.push_back(star);
  }
  out.push_back({{10, 0}, {16, 18}, {21, 0}, {6, 11}, {26, 11}});
  return out;
}

int32_t fill(JVect *path, int32_t rule) { return jWeldFillVect(path, rule); }

TEST(WeldRules, AreaMatchesWindingIntegration) {
  const struct {
    int32_t (*run)(JVect *, int32_t);
    int32_t code;
    bool (*inside)(int);
  } rules[] = {{fill, JWF_NONZERO, [](int w) { return w != 0; }},
               {fill, JWF_EVENODD, [](int w) { return w % 2 != 0; }},
               {jWeldCombineVect, JWM_UNION_ALL, [](int w) { return w >= 1; }},
               {jWeldCombineVect, JWM_INTERSECT, [](int w) { return w >= 2; }},
               {jWeldCombineVect, JWM_HOLE, [](int w) { return w == 1; }}};
  std::mt19937 rng(12);
  for (int round = 0; round < 12; ++round) {
    const std::vector<Outline> outlines = mixedDirections(rng, 2 + round);
    const auto input = winding_area::polygonsOf(weld_shapes::pathOf(outlines).get());
    const double tolerance = 1e-5 * winding_area::area(input, [](int w) { return w != 0; });
    for (const auto &rule : rules) {
      PathPtr path = weld_shapes::pathOf(outlines);
      ASSERT_EQ(rule.run(path.get(), rule.code), 1);
      const double expected = winding_area::area(input, rule.inside);
      const auto output = winding_area::polygonsOf(path.get());
      const std::string what = std::to_string(round) + " rule " + std::to_string(rule.code);
      // Combined contours only bound their region; filled ones count outer +1 and holes -1, so
      // their region is exactly winding 1.
      if (rule.run == fill) {
        EXPECT_NEAR(winding_area::area(output, [](int w) { return w == 1; }), expected, tolerance)
            << what;
        EXPECT_NEAR(winding_area::area(output, [](int w) { return w != 0 && w != 1; }), 0,
                    tolerance)
            << what;
      } else {
        EXPECT_NEAR(winding_area::area(output, [](int w) { return w % 2 != 0; }), expected,
                    tolerance)
            << what;
      }
    }
  }
}

TEST(WeldFillRule, UnknownRuleLeavesThePath) {
  PathPtr path = weld_shapes::pathOf({weld_shapes::rectangle(0, 0, 4, 4)});
  const auto before = testing_support::pointsOf(path.get());
  EXPECT_EQ(jWeldFillVect(path.get(), 0), 0);
  EXPECT_EQ(jWeldFillVect(nullptr, JWF_NONZERO), 0);
  EXPECT_EQ(testing_support::pointsOf(path.get()), before);
}

}  // namespace
