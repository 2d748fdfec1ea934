// Every effect gives the same outlines wherever on the sheet the text lies.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "outlina.h"
#include "support/measure.h"
#include "support/text_workload.h"

namespace {

using namespace testing_support;

// The text at 10 mm a character: glyph units are 10000 a cell.
constexpr double kMillimetresPerUnit = 0.001;
// Places between -2,000 and +2,000 mm on both axes.
constexpr double kPlaces[][2] = {{250, -310}, {1800, 1800}, {-2000, 1500}};
constexpr double kAreaTolerance = 1e-3;

PathPtr placed(const JVect *text, double dx, double dy) {
  PathPtr path(jVectDuplicate(text));
  JVectPoint *v = jVectGetVd(path.get());
  for (int32_t i = 0; i < jVectGetNum(path.get()); ++i) {
    v[i].x = static_cast<float>(v[i].x * kMillimetresPerUnit + dx);
    v[i].y = static_cast<float>(v[i].y * kMillimetresPerUnit + dy);
  }
  return path;
}

using Effect = std::function<int32_t(JVect *)>;

std::vector<std::pair<std::string, Effect>> effects() {
  std::vector<std::pair<std::string, Effect>> out = {
      {"weld", [](JVect *p) { return jWeldExecute(JWM_UNION, p); }},
      {"stripe", [](JVect *p) {
         const JWeldStripeParam r = {0.8f, 0.4f, 2, 30, 1};
         return jWeldStripe(&r, p);
       }}};
  out.push_back({"widen", [](JVect *p) {
                   const JWeldWidenParam r = {0.1f, JVC_ROUND, JVJ_ROUND, 4, 1};
                   return jWeldWiden(&r, p);
                 }});
  for (float distance : {0.3f, -0.5f})
    out.push_back({"offset " + std::to_string(distance), [distance](JVect *p) {
                     const JWeldOffsetParam r = {
                         std::fabs(distance), distance < 0, 0, 0, JVJ_ROUND, 4, 0, 1};
                     return jWeldOffset(&r, p);
                   }});
  const int32_t shadows[][2] = {
      {JWST_BLOCK, 0}, {JWST_DROP, 1}, {JWST_CAST, 3}, {JWST_PERSPECTIVE, 5}};
  for (const auto &[type, option] : shadows)
    out.push_back({"shadow " + std::to_string(type) + " option " + std::to_string(option),
                   [type, option](JVect *p) {
                     const JWeldShadowParam r = {type, option, 1.5f, -1.0f, 80, 0.3f, 0, 0, 1};
                     return jWeldShadow(&r, p);
                   }});
  return out;
}

TEST(WeldPosition, EveryEffectGivesTheSameOutlinesAnywhereOnTheSheet) {
  PathPtr text(jVectOpen(16));
  ASSERT_GT(setTextWorkload(text.get(), 1.0), 150);
  for (const auto &[name, effect] : effects()) {
    PathPtr home = placed(text.get(), 0, 0);
    ASSERT_EQ(effect(home.get()), 1) << name;
    const Measure expected = measure(home.get());
    for (const auto &place : kPlaces) {
      PathPtr moved = placed(text.get(), place[0], place[1]);
      ASSERT_EQ(effect(moved.get()), 1) << name;
      const Measure got = measure(moved.get());
      const std::string where =
          name + " at " + std::to_string(place[0]) + ", " + std::to_string(place[1]);
      EXPECT_EQ(got.contours, expected.contours) << where;
      EXPECT_NEAR(got.area, expected.area, kAreaTolerance * std::fabs(expected.area)) << where;
    }
  }
}

}  // namespace
