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
// Places between -2,000 and +2,000 mm on both axes; each effect visits the next two in turn.
constexpr double kPlaces[][2] = {{250, -310},    {1800, 1800},       {-2000, 1500}, {2000, -2000},
                                 {-1000, -1000}, {-1999.7, -1234.5}, {0, 1900}};
constexpr int kPlacesPerEffect = 2;
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

constexpr JWeldStripeParam kStripe = {0.8f, 0.4f, 2, 30, 1};
constexpr JWeldWidenParam kWidens[] = {{0.1f, JVC_ROUND, JVJ_ROUND, 4, 1},
                                       {0.25f, JVC_ROUND, JVJ_MITER, 4, 1},
                                       {0.5f, JVC_ROUND, JVJ_BEVEL, 4, 1}};
// Distances 0.1 to 0.5 mm both ways (side 1 is inwards), mitred, round and bevelled. The first
// leaves a real triangle of 18 by 10 um, near the crumb limit, at the two places it visits.
constexpr JWeldOffsetParam kOffsets[] = {
    {0.4f, 1, 0, 0, JVJ_ROUND, 4, 0, 1}, {0.1f, 0, 0, 0, JVJ_MITER, 4, 0, 1},
    {0.1f, 1, 0, 0, JVJ_MITER, 4, 0, 1}, {0.3f, 0, 0, 0, JVJ_ROUND, 4, 0, 1},
    {0.3f, 1, 0, 0, JVJ_BEVEL, 4, 0, 1}, {0.5f, 0, 0, 0, JVJ_MITER, 4, 0, 1},
    {0.5f, 1, 0, 0, JVJ_ROUND, 4, 0, 1}};
// {kind, option}: every option with one kind, then the cuts of block and perspective.
constexpr int32_t kShadows[][2] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {0, 4},
                                   {1, 5}, {0, 1}, {0, 5}, {3, 1}, {3, 5}};

std::vector<std::pair<std::string, Effect>> effects() {
  std::vector<std::pair<std::string, Effect>> out = {
      {"weld", [](JVect *p) { return jWeldExecute(JWM_UNION, p); }},
      {"stripe", [](JVect *p) { return jWeldStripe(&kStripe, p); }}};
  for (const auto &r : kWidens)
    out.push_back(
        {"widen " + std::to_string(r.width), [r](JVect *p) { return jWeldWiden(&r, p); }});
  for (const auto &r : kOffsets)
    out.push_back({"offset " + std::to_string(r.distance) + " side " + std::to_string(r.side),
                   [r](JVect *p) { return jWeldOffset(&r, p); }});
  // The cuts of the extruded kinds leave pieces that touch the outlines and each other at corners.
  for (const auto &kindAndOption : kShadows) {
    const int32_t kind = kindAndOption[0], option = kindAndOption[1];
    out.push_back(
        {"shadow " + std::to_string(kind) + "/" + std::to_string(option), [kind, option](JVect *p) {
           const JWeldShadowParam r = {kind, option, 1.5f, -1.0f, 80, 0.3f, 0, 0, 1};
           return jWeldShadow(&r, p);
         }});
  }
  for (int32_t type : {14, 31})
    out.push_back({"envelope " + std::to_string(type), [type](JVect *p) {
                     float b[4];
                     jVectGetMinMax(b, p, JVECT_ALL);
                     const JVectransShapeParam r = {type, 60, b[0], b[1], b[2], b[3]};
                     return jVectransShapeEffect(&r, p);
                   }});
  return out;
}

TEST(WeldPosition, EveryEffectGivesTheSameOutlinesAnywhereOnTheSheet) {
  PathPtr text(jVectOpen(16));
  ASSERT_GT(setTextWorkload(text.get(), 1.0), 150);
  int next = 0;
  for (const auto &[name, effect] : effects()) {
    PathPtr home = placed(text.get(), 0, 0);
    ASSERT_EQ(effect(home.get()), 1) << name;
    const Measure expected = measure(home.get());
    for (int k = 0; k < kPlacesPerEffect; ++k) {
      const double *place = kPlaces[next++ % std::size(kPlaces)];
      PathPtr moved = placed(text.get(), place[0], place[1]);
      ASSERT_EQ(effect(moved.get()), 1) << name;
      const Measure got = measure(moved.get());
      SCOPED_TRACE(name + " at " + std::to_string(place[0]) + ", " + std::to_string(place[1]));
      EXPECT_EQ(got.contours, expected.contours);
      EXPECT_NEAR(got.area, expected.area, kAreaTolerance * std::fabs(expected.area));
    }
  }
}

}  // namespace
