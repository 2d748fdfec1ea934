// Inputs at the edges of what floats hold: each gives a result or a clean refusal, and ends.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "outlina.h"
#include "support/path_builder.h"
#include "weld/weld_shapes.h"

namespace {

using testing_support::PathPtr;
using weld_shapes::Outline;
using weld_shapes::pathOf;

constexpr float kMax = std::numeric_limits<float>::max();

// Triangles fanning around one point: thousands of segments end there.
Outline fanBlade(int k, int n) {
  const double a = 6.283185307179586 * k / n, b = a + 6.283185307179586 * 1.5 / n;
  return {{0, 0},
          {static_cast<float>(10 * std::cos(a)), static_cast<float>(10 * std::sin(a))},
          {static_cast<float>(10 * std::cos(b)), static_cast<float>(10 * std::sin(b))}};
}

TEST(WeldBadInput, EveryRuleAnswersAndTheResultStaysFinite) {
  std::vector<std::pair<std::string, std::vector<Outline>>> cases = {
      {"nan", {{{0, 0}, {NAN, 1}, {1, 1}}, weld_shapes::rectangle(0, 0, 2, 2)}},
      {"infinity", {{{0, 0}, {INFINITY, 1}, {1, -INFINITY}}}},
      {"float limit",
       {{{-kMax, -kMax}, {-kMax, kMax}, {kMax, kMax}, {kMax, -kMax}},
        {{-kMax, 0}, {0, kMax}, {kMax, 0}, {0, -kMax}}}},
      {"near the limit",
       {weld_shapes::rectangle(1e37f, 1e37f, 3e38f, 3e38f),
        weld_shapes::rectangle(2e37f, -3e38f, 2e38f, 2e38f)}},
      {"flat and two-point",
       {{{0, 0}, {4, 4}, {8, 8}},
        {{1, 1}, {3, 3}},
        weld_shapes::rectangle(0, 0, 8, 8),
        {{2, 2}, {2, 2}}}},
  };
  std::vector<Outline> fan;
  for (int k = 0; k < 1000; ++k) fan.push_back(fanBlade(k, 1000));
  cases.push_back({"shared point", fan});
  for (const auto &[name, outlines] : cases) {
    for (int32_t mode = JWM_UNION; mode <= JWM_UNION_ALL; ++mode) {
      PathPtr path = pathOf(outlines);
      const int32_t result = jWeldCombineVect(path.get(), mode);
      if (result != 1) continue;
      const JVectPoint *v = jVectGetVd(path.get());
      for (int32_t i = 0; i < jVectGetNum(path.get()); ++i)
        ASSERT_TRUE(std::isfinite(v[i].x) && std::isfinite(v[i].y)) << name << " rule " << mode;
    }
  }
}

TEST(WeldBadInput, SlantedStripesNarrowerThanTheFloatStepEnd) {
  PathPtr path = pathOf({weld_shapes::rectangle(1e6f, 1e6f, 1e6f + 1, 1e6f + 1)});
  const JWeldStripeParam stripes = {0.01f, 0.01f, 2, 30, 0};
  const int32_t result = jWeldStripe(&stripes, path.get());
  EXPECT_TRUE(result == 0 || result == 1);
}

}  // namespace
