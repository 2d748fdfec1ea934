#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <tuple>
#include <vector>

#include "frame/plinth_fault.h"
#include "support/path_builder.h"

namespace {

using namespace testing_support;

TEST(Reverse, SegmentsKeepTheirKindsStartsAndTagsAndTwiceRestores) {
  const std::tuple<Points, int32_t, Points> cases[] = {
      {{{1, 0, 0}, {41, 1, 1}, {42, 2, 1}, {43, 3, 0}, {2, 4, 0}}, 0,
       {{1, 4, 0}, {2, 3, 0}, {41, 2, 1}, {42, 1, 1}, {43, 0, 0}}},
      {{{1, 0, 0}, {21, 1, 1}, {22, 2, 0}}, -2, {{1, 2, 0}, {21, 1, 1}, {22, 0, 0}}},
      {{{1, 0, 0, 7}, {2, 1, 0}, {2, 1, 1}, {1, 5, 5, 9}, {2, 6, 5}}, -1,
       {{1, 1, 1, 7}, {2, 1, 0}, {2, 0, 0}, {1, 6, 5, 9}, {2, 5, 5}}}};
  for (const auto &[in, index, out] : cases) {
    auto path = makePath(in);
    EXPECT_EQ(jVectReverse(path.get(), index), 1);
    EXPECT_EQ(pointsOf(path.get()), out);
    EXPECT_EQ(jVectReverse(path.get(), 5), 0);
    EXPECT_EQ(jVectReverse(path.get(), -3), 0);
  }
  auto mixed = makePath({{1, 0, 0}, {31, 1, 2}, {32, 2, 0}, {11, 3, 1}, {12, 4, 0}, {21, 5, 1},
                         {22, 6, 0}, {41, 7, 1}, {42, 8, 1}, {44, 9, 0}, {2, 0, 0}});
  const auto before = pointsOf(mixed.get());
  jVectReverse(mixed.get(), 0);
  EXPECT_EQ(pointsOf(mixed.get())[1], (P{3, 9, 0}));  // the variant stays in its family
  jVectReverse(mixed.get(), 0);
  EXPECT_EQ(pointsOf(mixed.get()), before);
  // A variant on the last point becomes the start, then an ordinary end.
  auto last = makePath({{1, 0, 0}, {2, 1, 0}, {33, 2, 0}});
  jVectReverse(last.get(), 0);
  jVectReverse(last.get(), 0);
  EXPECT_EQ(pointsOf(last.get()), (Points{{1, 0, 0}, {2, 1, 0}, {2, 2, 0}}));
  EXPECT_EQ(jVectReverse(makePath({{2, 0, 0}, {2, 1, 0}}).get(), 1), 0);
}

TEST(MakeReverseLoop, RunsEachContourForwardAndBack) {
  auto path = makePath({{1, 0, 0, 4}, {2, 1, 0}, {2, 2, 0}, {1, 5, 5, 8}, {41, 6, 6}, {42, 7, 6},
                        {44, 8, 5}, {1, 5, 5}, {2, 5, 5}});
  ASSERT_EQ(jVectMakeReverseLoop(path.get()), 1);
  EXPECT_EQ(pointsOf(path.get()),
            (Points{{1, 0, 0, 4}, {2, 1, 0}, {2, 2, 0}, {2, 1, 0}, {2, 0, 0}, {1, 5, 5, 8},
                    {41, 6, 6}, {42, 7, 6}, {44, 8, 5}, {41, 7, 6}, {42, 6, 6}, {43, 5, 5},
                    {1, 5, 5}, {2, 5.01f, 5}, {2, 5, 5}}));
  EXPECT_EQ(jVectGetLoopDir(path.get(), 0), 0);
  EXPECT_EQ(jVectMakeReverseLoop(makePath({{1, 5, 5}}).get()), 0);
  auto line = makePath({{1, 0, 0}, {2, 1, 0}});
  jMemTestFailNth(1);
  EXPECT_EQ(jVectMakeReverseLoop(line.get()), 0);
  EXPECT_EQ(pointsOf(line.get()), (Points{{1, 0, 0}, {2, 1, 0}}));
}

// Appends a square from (x0, y0) to (x1, y1), counter-clockwise unless cw.
void addSquare(JVect *path, float x0, float y0, float x1, float y1, bool cw, uint32_t tag = 0) {
  const float xs[] = {x0, x1, x1, x0}, ys[] = {y0, y0, y1, y1};
  for (int32_t k = 0; k < 5; ++k) {
    const int32_t i = cw ? (4 - k) % 4 : k % 4;
    jVectAddPoint(path, JVECT_LAST, static_cast<int16_t>(k == 0 ? 1 : 2), xs[i], ys[i]);
  }
  jVectSetTag(path, JVECT_LAST, tag);
}

TEST(SetLoopDir, SquareWithAHoleUnderEachRuleAndRefusals) {
  for (auto [rule, outer, hole] : {std::tuple{1, 1, 2}, {2, 2, 1}, {0, 1, 1}}) {
    PathPtr path(jVectOpen(16));
    addSquare(path.get(), 0, 0, 10, 10, false, 3);
    addSquare(path.get(), 3, 3, 7, 7, false, 4);
    ASSERT_EQ(jVectSetLoopDir(path.get(), rule), 1);
    EXPECT_EQ(jVectGetLoopDir(path.get(), 0), outer) << rule;
    EXPECT_EQ(jVectGetLoopDir(path.get(), 5), hole) << rule;
    EXPECT_TRUE(pointsOf(path.get())[0].tag == 3u && pointsOf(path.get())[5].tag == 4u) << rule;
  }
  EXPECT_EQ(jVectSetLoopDir(makePath({{1, 0, 0}, {2, 1, 0}}).get(), 1), 0);
  EXPECT_EQ(jVectSetLoopDir(makePath({{2, 0, 0}, {2, 1, 0}, {2, 1, 1}}).get(), 1), 1);
  PathPtr square(jVectOpen(8));
  addSquare(square.get(), 0, 0, 1, 1, false);
  const auto before = pointsOf(square.get());
  jMemTestFailNth(1);
  EXPECT_EQ(jVectSetLoopDir(square.get(), 1), 0);
  EXPECT_EQ(pointsOf(square.get()), before);
  PathPtr many(jVectOpen(100001));
  for (int32_t i = 0; i < 100001; ++i)
    jVectAddPoint(many.get(), JVECT_LAST, static_cast<int16_t>(i == 1 ? 2 : 1), 0, 0);
  EXPECT_EQ(jVectSetLoopDir(many.get(), 1), 0);
}

// Orients a copy through the exported queries alone, testing every pair of contours.
Points orientedByQueries(const JVect *source, int32_t rule) {
  PathPtr path(jVectDuplicate(source));
  const auto points = pointsOf(path.get());
  std::vector<int32_t> starts, reverse;
  for (int32_t i = 0; i < static_cast<int32_t>(points.size()); ++i)
    if (points[i].mode == 1) starts.push_back(i);
  for (int32_t s : starts) {
    int32_t depth = 0;
    for (int32_t t : starts) {
      const int32_t code = t == s ? 0 : jVectIsInside(path.get(), t, points[s].x, points[s].y);
      depth += code == 1 || code == 2;
    }
    if (jVectGetLoopDir(path.get(), s) != (depth % 2 == 0 ? rule : 3 - rule)) reverse.push_back(s);
  }
  for (int32_t s : reverse) jVectReverse(path.get(), s);
  return pointsOf(path.get());
}

TEST(SetLoopDir, SkippingDistantContoursChangesNothing) {
  std::mt19937 random(20261205);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  PathPtr path(jVectOpen(4096));
  for (int32_t i = 0; i < 150; ++i) {
    const float x = 100 * unit(random), y = 100 * unit(random), r = 0.5f + 15 * unit(random);
    if (i % 3 == 0) {  // a circle from two arcs, or a lens from two cubics
      const Points round =
          unit(random) < 0.5f
              ? Points{{1, x + r, y}, {21, x, y + r}, {22, x - r, y}, {21, x, y - r}, {22, x + r, y}}
              : Points{{1, x + r, y},     {41, x + r, y - r}, {42, x - r, y - r}, {43, x - r, y},
                       {41, x - r, y + r}, {42, x + r, y + r}, {43, x + r, y}};
      for (const P &p : round)
        jVectAddPoint(path.get(), JVECT_LAST, static_cast<int16_t>(p.mode), p.x, p.y);
    } else {
      addSquare(path.get(), x, y, x + 2 * r, y + 2 * r, unit(random) < 0.5f);
    }
  }
  for (int32_t rule : {1, 2}) {
    PathPtr oriented(jVectDuplicate(path.get()));
    ASSERT_EQ(jVectSetLoopDir(oriented.get(), rule), 1);
    EXPECT_EQ(pointsOf(oriented.get()), orientedByQueries(path.get(), rule)) << rule;
  }
}

}  // namespace
