// The combine against a plain scanning version of its stages and against the winding numbers
// of its input; the fill rules against the winding numbers too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "outlina.h"
#include "support/fault_loop.h"
#include "support/path_builder.h"
#include "weld/batches.h"
#include "weld/combine_reference.h"
#include "weld/weld_shapes.h"
#include "weld/winding_area.h"

namespace {

using namespace testing_support;
using weld_shapes::Outline;
using weld_shapes::pathOf;

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

// Small integer polygons: shared edges, touching vertices, collinear overlaps, nesting and
// bow-ties all turn up.
std::vector<Outline> gridPolygons(std::mt19937 &rng, int count) {
  std::uniform_int_distribution<int> coord(0, 6), size(3, 6);
  std::vector<Outline> out(count);
  for (Outline &o : out)
    for (int v = size(rng); v > 0; --v)
      o.push_back({static_cast<float>(coord(rng)), static_cast<float>(coord(rng))});
  return out;
}

// Pairs of triangles meeting at the origin: many edges end in one point.
std::vector<Outline> fans(std::mt19937 &rng, int count) {
  std::uniform_real_distribution<float> angle(0, 6.2831853f);
  std::vector<Outline> out;
  for (int k = 0; k < count; ++k) {
    const float a = angle(rng), b = a + 2.5f, ca = 4 * std::cos(a), sa = 4 * std::sin(a),
                cb = 4 * std::cos(b), sb = 4 * std::sin(b);
    out.push_back({{0, 0}, {ca, sa}, {cb, sb}});
    out.push_back({{-ca, -sa}, {0, 0}, {-cb, -sb}});
  }
  return out;
}

// Stars with thin slivers across them at shallow angles, far from the origin: rounded crossing
// points stray off their segments there, and the pieces must be cut again where they meet.
std::vector<Outline> farSlivers(std::mt19937 &rng, int round) {
  std::vector<Outline> out = mixedDirections(rng, 2 + round % 6);
  std::uniform_real_distribution<float> at(0, 30);
  const float rise = round % 3 ? 1e-3f : 1e-5f, far = std::pow(10.0f, 2 + round % 5);
  for (int k = 0; k < 3; ++k) {
    const float y = at(rng), x = at(rng) - 20;
    out.push_back({{x, y}, {x + 60, y + 50 * rise}, {x + 60, y + 51 * rise}, {x, y + 2 * rise}});
  }
  for (Outline &o : out)
    for (auto &p : o) p = {p.x + far, p.y - far};
  return out;
}

void expectSameAsReference(const std::vector<Outline> &outlines, const std::string &what) {
  for (int32_t mode = 1; mode <= 4; ++mode) {
    PathPtr fast = pathOf(outlines), plain = pathOf(outlines);
    ASSERT_EQ(jWeldCombineVect(fast.get(), mode), reference::combine(plain.get(), mode)) << what;
    ASSERT_EQ(pointsOf(fast.get()), pointsOf(plain.get())) << what << " rule " << mode;
  }
}

TEST(WeldCombineIndexed, MatchesTheScanningStagesOnManyInputs) {
  std::mt19937 rng(20261205);
  for (int round = 0; round < 30; ++round) {
    expectSameAsReference(gridPolygons(rng, 2 + round % 5), "grid " + std::to_string(round));
    expectSameAsReference(fans(rng, 1 + round % 4), "fan " + std::to_string(round));
    expectSameAsReference(mixedDirections(rng, 2 + round % 20), "stars " + std::to_string(round));
    expectSameAsReference(farSlivers(rng, round), "far " + std::to_string(round));
  }
}

// Clusters in rows, each touching its neighbour, a float step or half a unit from it, or far
// away, so that small batches cut between groups wherever they may.
std::vector<Outline> clusters(std::mt19937 &rng, int round) {
  const float gaps[] = {0.0f, 0.5f, 100.0f, 0.0f, 1e-5f};
  std::vector<Outline> out;
  float x = 0;
  for (int c = 0; c < 9; ++c) {
    std::vector<Outline> cluster = c % 2 ? gridPolygons(rng, 3) : mixedDirections(rng, 1);
    float low = INFINITY, high = -INFINITY;
    for (const Outline &o : cluster)
      for (const auto &p : o) low = std::min(low, p.x), high = std::max(high, p.x);
    const float y = c / 3 * (round % 2 ? 40.0f : 1e4f);
    if (c % 3 == 0) x = low;
    for (Outline &o : cluster) {
      for (auto &p : o) p = {p.x - low + x, p.y + y};
      out.push_back(o);
    }
    x += high - low + gaps[(c + round) % 5];
  }
  return out;
}

// The contours of a path in a fixed order, for results that may list them differently.
std::vector<std::vector<std::tuple<int, float, float>>> contourSet(const JVect *path) {
  std::vector<std::vector<std::tuple<int, float, float>>> set;
  for (const P &p : pointsOf(path)) {
    if (p.mode == JVM_START || set.empty()) set.emplace_back();
    set.back().emplace_back(p.mode, p.x, p.y);
  }
  std::sort(set.begin(), set.end());
  return set;
}

// Lowers the batch size for one test's welds, so that small inputs run in batches.
struct BatchesOf {
  explicit BatchesOf(int32_t points) { outlina::weldBatchPoints = points; }
  ~BatchesOf() { outlina::weldBatchPoints = outlina::kWeldBatchPoints; }
};

// Groups of contours that lie apart weld alike in batches of a few points and all at once,
// under the four rules and through the weld that tidies and fits curves afterwards.
TEST(WeldCombineBatches, MatchTheWholeWeldAndTheScanningStagesBatchedAlike) {
  const auto weld = [](JVect *path, int k) {
    return k < 4 ? jWeldCombineVect(path, k + 1) : jWeldExecute(JWM_UNION, path);
  };
  std::mt19937 rng(20261206);
  for (int round = 0; round < 20; ++round) {
    const std::vector<Outline> outlines = clusters(rng, round);
    std::vector<PathPtr> whole;
    for (int k = 0; k < 5; ++k) {
      whole.push_back(pathOf(outlines));
      ASSERT_EQ(weld(whole.back().get(), k), 1);
    }
    const BatchesOf batched(24);
    expectSameAsReference(outlines, "clusters " + std::to_string(round));
    for (int k = 0; k < 5; ++k) {
      PathPtr path = pathOf(outlines);
      ASSERT_EQ(weld(path.get(), k), 1);
      EXPECT_EQ(contourSet(path.get()), contourSet(whole[k].get()))
          << "clusters " << round << " run " << k;
    }
  }
}

// Four groups in one column, listed top first, with no gap across them, so the cut goes along
// y and the batches, one group each, run from the lowest up. The lone squares come through as
// they were and keep their places; the welded pairs follow, lowest first.
TEST(WeldCombineBatches, KeepWhatTheyLeaveInPlaceAndFollowTheCutsWithTheRest) {
  const auto square = [](float x, float y) {
    return Outline{{x, y}, {x, y + 1}, {x + 1, y + 1}, {x + 1, y}};
  };
  PathPtr lone = pathOf({square(0, 30), square(0, 10)});
  ASSERT_EQ(jWeldCombineVect(lone.get(), JWM_UNION_ALL), 1);
  const BatchesOf batched(4);
  const std::vector<Outline> squares = {square(0, 30), square(0, 20), square(0.5f, 20.5f),
                                        square(0, 10), square(0, 0),  square(0.5f, 0.5f)};
  const auto combine = [](JVect *p) { return jWeldCombineVect(p, JWM_UNION_ALL); };
  // Whichever allocation fails, the combine answers 0 with the squares as they were, rather than
  // giving up the batches for the whole path.
  EXPECT_TRUE(runFaultLoop([&] { return pathOf(squares); }, combine, OnFailure::Unchanged));
  PathPtr path = pathOf(squares);
  ASSERT_EQ(combine(path.get()), 1);
  std::vector<float> tens;
  for (const P &p : pointsOf(path.get()))
    if (p.mode == JVM_START) tens.push_back(std::floor(p.y / 10));
  EXPECT_EQ(tens, (std::vector<float>{3, 1, 0, 2}));
  const Points kept = pointsOf(lone.get()), now = pointsOf(path.get());
  ASSERT_GT(now.size(), kept.size());
  EXPECT_EQ(Points(now.begin(), now.begin() + kept.size()), kept);
}

// Under rule 1 a reversed square far to the side falls to the lines that the crossing squares'
// pieces cast across the whole work: its batch finds that and gives way to the whole path,
// however small the batches.
TEST(WeldCombineBatches, GiveWayUnderRuleOneWhereLinesFromElsewhereDecide) {
  const BatchesOf batched(4);
  for (auto combine : {&jWeldCombineVect, &reference::combine}) {
    PathPtr path = pathOf({{{0, 0}, {0, 10}, {10, 10}, {10, 0}},
                           {{5, 5}, {5, 15}, {15, 15}, {15, 5}},
                           {{100, 2}, {110, 2}, {110, 8}, {100, 8}}});
    ASSERT_EQ(combine(path.get(), JWM_UNION), 1);
    EXPECT_EQ(contourSet(path.get()).size(), 1u);
  }
}

// The edge (1, 1)-(2, 2) of the first polygon cancels against copies in two others, so the
// segments left no longer close up and lines disagree about windings; a zigzag's chains of pieces
// cross them and must not carry one line's winding along.
TEST(WeldCombineIndexed, MatchesTheScanningStagesWhereAnEdgeCancelsSeveralCopies) {
  std::vector<Outline> outlines = {{{3, 0}, {1, 1}, {2, 2}, {3, 2}, {2, 2}},
                                   {{3, 0}, {2, 0}, {0, 2}, {1, 1}, {3, 3}, {1, 0}, {1, 3}},
                                   {{1, 1}, {0, 1}, {2, 2}, {1, 1}, {3, 3}, {0, 0}, {3, 2}, {0, 2}},
                                   {{3, 2}, {1, 2}, {2, 2}, {1, 1}, {0, 1}, {3, 0}, {2, 3}, {0, 3}},
                                   {}};
  for (int k = 0; k <= 10; ++k) outlines[4].push_back({k % 2 ? 3.0f : 0.0f, 0.3f * k});
  for (int k = 0; k <= 10; ++k) outlines[4].push_back({0.3f * k + 0.25f, k % 2 ? -0.5f : 3.5f});
  expectSameAsReference(outlines, "cancelled copies");
}

// Two shapes sharing the slanted edge (5, -6)-(9, -16); one of them divides it at (5.5, -7.25).
// Their union is the clockwise quadrilateral (4, -6), (8, -6), (11, -16), (7, -16) of area 40
// whichever way the edge is divided.
TEST(WeldSharedEdge, DividedDifferentlyStillWeldsToOneQuadrilateral) {
  const Outline divided = {{4, -6}, {5, -6}, {5.5f, -7.25f}, {9, -16}, {7, -16}};
  const Outline whole = {{9, -16}, {5, -6}, {8, -6}, {11, -16}};
  const Outline dividedRight = {{9, -16}, {5.5f, -7.25f}, {5, -6}, {8, -6}, {11, -16}};
  const Outline wholeLeft = {{4, -6}, {5, -6}, {9, -16}, {7, -16}};
  for (const auto &[a, b] :
       {std::pair{divided, whole}, std::pair{wholeLeft, dividedRight}, std::pair{whole, divided}})
    for (int32_t mode : {JWM_UNION, JWM_UNION_ALL})
      for (auto combine : {&jWeldCombineVect, &reference::combine}) {
        PathPtr path = pathOf({a, b});
        ASSERT_EQ(combine(path.get(), mode), 1);
        const auto polygons = winding_area::polygonsOf(path.get());
        EXPECT_EQ(polygons.size(), 1u) << "rule " << mode;
        EXPECT_NEAR(winding_area::area(polygons, [](int w) { return w == 1; }), 40.0, 1e-4);
      }
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

}  // namespace
