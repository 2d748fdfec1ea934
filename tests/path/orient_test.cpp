#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "frame/plinth_fault.h"
#include "outlina/curve.h"
#include "support/path_builder.h"

namespace {

using testing_support::makePath;
using testing_support::P;
using testing_support::PathPtr;
using testing_support::pointsOf;

TEST(Reverse, CurvesKeepTheirKindsAndControlsSwapRoles) {
  auto cubic = makePath({{1, 0, 0}, {41, 1, 1}, {42, 2, 1}, {43, 3, 0}, {2, 4, 0}});
  ASSERT_EQ(jVectReverse(cubic.get(), 0), 1);
  EXPECT_EQ(pointsOf(cubic.get()),
            (std::vector<P>{{1, 4, 0}, {2, 3, 0}, {41, 2, 1}, {42, 1, 1}, {43, 0, 0}}));
  auto arc = makePath({{1, 0, 0}, {21, 1, 1}, {22, 2, 0}});
  ASSERT_EQ(jVectReverse(arc.get(), -2), 1);
  EXPECT_EQ(pointsOf(arc.get()), (std::vector<P>{{1, 2, 0}, {21, 1, 1}, {22, 0, 0}}));
}

TEST(Reverse, TwiceRestoresAContourAndVariantsStayInTheirFamily) {
  auto path = makePath({{1, 0, 0}, {31, 1, 2}, {32, 2, 0}, {11, 3, 1}, {12, 4, 0}, {21, 5, 1},
                        {22, 6, 0}, {41, 7, 1}, {42, 8, 1}, {43, 9, 0}, {2, 0, 0}});
  const std::vector<P> mixed = pointsOf(path.get());
  jVectReverse(path.get(), 0);
  EXPECT_EQ(pointsOf(path.get())[2], (P{41, 8, 1}));
  jVectReverse(path.get(), 0);
  EXPECT_EQ(pointsOf(path.get()), mixed);

  auto variant = makePath({{1, 0, 0}, {41, 1, 1}, {42, 2, 1}, {44, 3, 0}, {2, 4, 0}});
  jVectReverse(variant.get(), 0);
  EXPECT_EQ(pointsOf(variant.get()),
            (std::vector<P>{{1, 4, 0}, {3, 3, 0}, {41, 2, 1}, {42, 1, 1}, {43, 0, 0}}));
  // A variant on the last point becomes the start, then an ordinary end.
  auto last = makePath({{1, 0, 0}, {2, 1, 0}, {33, 2, 0}});
  jVectReverse(last.get(), 0);
  jVectReverse(last.get(), 0);
  EXPECT_EQ(pointsOf(last.get()), (std::vector<P>{{1, 0, 0}, {2, 1, 0}, {2, 2, 0}}));
}

TEST(Reverse, EveryContourKeepsItsStartPositionAndTag) {
  auto path = makePath({{1, 0, 0, 7}, {2, 1, 0}, {2, 1, 1}, {1, 5, 5, 9}, {2, 6, 5}});
  ASSERT_EQ(jVectReverse(path.get(), -1), 1);
  EXPECT_EQ(pointsOf(path.get()), (std::vector<P>{{1, 1, 1, 7}, {2, 1, 0}, {2, 0, 0},
                                                  {1, 6, 5, 9}, {2, 5, 5}}));
  EXPECT_EQ(jVectReverse(path.get(), 5), 0);
  EXPECT_EQ(jVectReverse(path.get(), -3), 0);
  EXPECT_EQ(jVectReverse(nullptr, 0), 0);
  auto orphans = makePath({{2, 0, 0}, {2, 1, 0}, {1, 5, 5}, {2, 6, 5}});
  EXPECT_EQ(jVectReverse(orphans.get(), 1), 0);
}

TEST(MakeReverseLoop, RunsEachContourForwardAndBack) {
  auto path = makePath({{1, 0, 0, 4}, {2, 1, 0}, {2, 2, 0}, {1, 5, 5, 8}, {41, 6, 6}, {42, 7, 6},
                        {44, 8, 5}});
  ASSERT_EQ(jVectMakeReverseLoop(path.get()), 1);
  EXPECT_EQ(pointsOf(path.get()),
            (std::vector<P>{{1, 0, 0, 4}, {2, 1, 0}, {2, 2, 0}, {2, 1, 0}, {2, 0, 0},
                            {1, 5, 5, 8}, {41, 6, 6}, {42, 7, 6}, {44, 8, 5}, {41, 7, 6},
                            {42, 6, 6}, {43, 5, 5}}));
  EXPECT_EQ(jVectGetLoopDir(path.get(), 0), 0);
}

TEST(MakeReverseLoop, CoincidentPairIsOpenedByAHundredth) {
  auto path = makePath({{1, 5, 5}, {2, 5, 5}});
  ASSERT_EQ(jVectMakeReverseLoop(path.get()), 1);
  EXPECT_EQ(pointsOf(path.get()), (std::vector<P>{{1, 5, 5}, {2, 5.01f, 5}, {2, 5, 5}}));
}

TEST(MakeReverseLoop, RefusalsLeaveThePathAlone) {
  EXPECT_EQ(jVectMakeReverseLoop(nullptr), 0);
  auto single = makePath({{1, 5, 5}});
  EXPECT_EQ(jVectMakeReverseLoop(single.get()), 0);
  EXPECT_EQ(pointsOf(single.get()), (std::vector<P>{{1, 5, 5}}));
  auto path = makePath({{1, 0, 0}, {2, 1, 0}});
  const auto before = pointsOf(path.get());
  jMemTestFailNth(1);
  EXPECT_EQ(jVectMakeReverseLoop(path.get()), 0);
  EXPECT_FALSE(jMemTestArmed());
  EXPECT_EQ(pointsOf(path.get()), before);
}

// A square from (x0, y0) to (x1, y1), counter-clockwise unless cw.
void addSquare(JVect *path, float x0, float y0, float x1, float y1, bool cw, uint32_t tag = 0) {
  const float xs[] = {x0, x1, x1, x0, x0}, ys[] = {y0, y0, y1, y1, y0};
  for (int32_t k = 0; k < 5; ++k) {
    const int32_t i = cw ? (5 - k) % 4 : k;
    jVectAddPoint(path, JVECT_LAST, static_cast<int16_t>(k == 0 ? 1 : 2), xs[i], ys[i]);
  }
  jVectSetTag(path, JVECT_LAST, tag);
}

TEST(SetLoopDir, SquareWithAHoleUnderEachRule) {
  const struct {
    int32_t rule, outer, hole;
  } cases[] = {{1, 1, 2}, {2, 2, 1}, {0, 1, 1}};
  for (const auto &c : cases) {
    PathPtr path(jVectOpen(16));
    addSquare(path.get(), 0, 0, 10, 10, false, 3);
    addSquare(path.get(), 3, 3, 7, 7, false, 4);
    ASSERT_EQ(jVectSetLoopDir(path.get(), c.rule), 1);
    EXPECT_EQ(jVectGetLoopDir(path.get(), 0), c.outer) << c.rule;
    EXPECT_EQ(jVectGetLoopDir(path.get(), 5), c.hole) << c.rule;
    EXPECT_EQ(pointsOf(path.get())[0].tag, 3u);
    EXPECT_EQ(pointsOf(path.get())[5].tag, 4u);
  }
}

TEST(SetLoopDir, RefusesSmallPathsFailedTablesAndTooManyContours) {
  auto two = makePath({{1, 0, 0}, {2, 1, 0}});
  EXPECT_EQ(jVectSetLoopDir(two.get(), 1), 0);
  EXPECT_EQ(jVectSetLoopDir(nullptr, 1), 0);
  auto none = makePath({{2, 0, 0}, {2, 1, 0}, {2, 1, 1}});
  EXPECT_EQ(jVectSetLoopDir(none.get(), 1), 1);

  PathPtr square(jVectOpen(8));
  addSquare(square.get(), 0, 0, 1, 1, false);
  const auto before = pointsOf(square.get());
  jMemTestFailNth(1);
  EXPECT_EQ(jVectSetLoopDir(square.get(), 1), 0);
  EXPECT_FALSE(jMemTestArmed());
  EXPECT_EQ(pointsOf(square.get()), before);
  EXPECT_EQ(jVectSetLoopDir(square.get(), 1), 1);
  EXPECT_EQ(jVectGetLoopDir(square.get(), 0), 1);

  PathPtr many(jVectOpen(100001));
  for (int32_t i = 0; i < 100001; ++i)
    jVectAddPoint(many.get(), JVECT_LAST, static_cast<int16_t>(i == 1 ? 2 : 1), 0, 0);
  EXPECT_EQ(jVectSetLoopDir(many.get(), 1), 0);
  EXPECT_EQ(pointsOf(many.get())[1].mode, 2);
}

// Orients a copy through the exported queries alone, testing every pair of contours.
std::vector<P> orientedByQueries(const JVect *source, int32_t rule) {
  PathPtr path(jVectDuplicate(source));
  std::vector<int32_t> starts;
  for (int32_t i = 0; i < jVectGetNum(path.get()); ++i)
    if (jVectGetVd(path.get())[i].mode == 1) starts.push_back(i);
  std::vector<int32_t> directions, depths;
  for (int32_t s : starts) {
    const JVectPoint p = jVectGetVd(path.get())[s];
    int32_t depth = 0;
    for (int32_t t : starts) {
      const int32_t code = t == s ? 0 : jVectIsInside(path.get(), t, p.x, p.y);
      depth += code == 1 || code == 2;
    }
    directions.push_back(jVectGetLoopDir(path.get(), s));
    depths.push_back(depth);
  }
  for (size_t i = 0; i < starts.size(); ++i) {
    const int32_t want = depths[i] % 2 == 0 ? rule : 3 - rule;
    if (directions[i] != want) jVectReverse(path.get(), starts[i]);
  }
  return pointsOf(path.get());
}

TEST(SetLoopDir, SkippingDistantContoursChangesNothing) {
  std::mt19937 random(20261205);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  PathPtr path(jVectOpen(4096));
  for (int32_t i = 0; i < 150; ++i) {
    const float x = 100 * unit(random), y = 100 * unit(random), size = 1 + 30 * unit(random);
    if (i % 3 == 0) {
      // A curved contour: two arcs round a circle, or a cubic lens.
      const float r = size / 2;
      const int16_t first = unit(random) < 0.5f ? 21 : 41;
      jVectAddPoint(path.get(), JVECT_LAST, 1, x + r, y);
      if (first == 21) {
        jVectAddPoint(path.get(), JVECT_LAST, 21, x, y + r);
        jVectAddPoint(path.get(), JVECT_LAST, 22, x - r, y);
        jVectAddPoint(path.get(), JVECT_LAST, 21, x, y - r);
        jVectAddPoint(path.get(), JVECT_LAST, 22, x + r, y);
      } else {
        jVectAddPoint(path.get(), JVECT_LAST, 41, x + r, y - r);
        jVectAddPoint(path.get(), JVECT_LAST, 42, x - r, y - r);
        jVectAddPoint(path.get(), JVECT_LAST, 43, x - r, y);
        jVectAddPoint(path.get(), JVECT_LAST, 41, x - r, y + r);
        jVectAddPoint(path.get(), JVECT_LAST, 42, x + r, y + r);
        jVectAddPoint(path.get(), JVECT_LAST, 43, x + r, y);
      }
    } else {
      addSquare(path.get(), x, y, x + size, y + size, unit(random) < 0.5f);
    }
  }
  for (int32_t rule : {1, 2}) {
    PathPtr oriented(jVectDuplicate(path.get()));
    ASSERT_EQ(jVectSetLoopDir(oriented.get(), rule), 1);
    EXPECT_EQ(pointsOf(oriented.get()), orientedByQueries(path.get(), rule)) << rule;
  }
}

}  // namespace
