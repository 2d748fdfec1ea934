#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "frame/plinth_fault.h"
#include "path/curve_res.h"
#include "support/path_builder.h"

namespace {

using namespace testing_support;

// Any record, spare ones too, copied out of the packed array.
P record(const JVect *path, int32_t i) {
  const JVectPoint &p = jVectGetVd(path)[i];
  return {p.mode, p.x, p.y, p.tag};
}

// Point count, capacity and loop word, compared at once.
using Shape = std::array<int32_t, 3>;
Shape shape(const JVect *path) { return {jVectGetNum(path), path->capacity, jVectGetLoop(path)}; }

TEST(PathRecord, IsAPacked14ByteExchangeRecord) {
  EXPECT_EQ(sizeof(JVectPoint), 14u);
  EXPECT_EQ(offsetof(JVectPoint, tag), 10u);
}

TEST(PathOpen, StartsEmptyWithZeroedRecordsAndRefusesBadCapacities) {
  PathPtr path(jVectOpen(50));
  EXPECT_EQ(shape(path.get()), (Shape{0, 50, 0}));
  for (int i = 0; i < 50; ++i) EXPECT_EQ(record(path.get(), i), (P{0, 0, 0, 0})) << i;
  EXPECT_EQ(jVectOpen(0), nullptr);
  EXPECT_EQ(jVectOpen(-5), nullptr);
  jMemTestFailNth(1);
  EXPECT_EQ(jVectOpen(8), nullptr);
}

TEST(PathGrowth, InsertsGrowByTenThousandKeepingPointsAndTags) {
  PathPtr path(jVectOpen(10000));
  for (int i = 0; i < 10000; ++i) jVectAddPoint(path.get(), -2, i % 7 ? 2 : 1, i, -i);
  jVectSetTag(path.get(), -1, 77);
  EXPECT_EQ(jVectAddPoint(path.get(), -2, 2, 1, 1), 10001);
  EXPECT_EQ(shape(path.get()), (Shape{10001, 20000, 0}));
  EXPECT_EQ(record(path.get(), 9996), (P{1, 9996, -9996, 77}));
  EXPECT_EQ(jVectExpand(path.get(), 5), 1);
  EXPECT_EQ(record(path.get(), 10000).x, 1.0f);
  EXPECT_EQ(jVectExpand(path.get(), 0), 0);
  EXPECT_EQ(jVectExpand(path.get(), -3), 0);
  EXPECT_EQ(shape(path.get()), (Shape{10001, 20005, 0}));
}

TEST(PathGrowth, AddLeavesTenThousandSpareAndMultipliesTheLoopWords) {
  auto dst = makePath({{1, 0, 0}, {2, 1, 0}}, 4);
  auto src = makePath({{1, 5, 5, 9}, {2, 6, 5}, {2, 6, 6}}, 3);
  dst->loop = 1;
  EXPECT_EQ(jVectAdd(dst.get(), src.get()), 1);
  EXPECT_EQ(shape(dst.get()), (Shape{5, 5 + 10000, 0}));
  EXPECT_EQ(pointsOf(dst.get())[2], (P{1, 5, 5, 9}));
  dst->loop = 0x10000;
  src->loop = 0x10001;
  EXPECT_EQ(jVectAdd(dst.get(), src.get()), 1);
  EXPECT_EQ(shape(dst.get()), (Shape{8, 10008, 0x10000}));
  dst->loop = src->loop = 1;
  EXPECT_EQ(jVectAdd(dst.get(), dst.get()), 1);
  EXPECT_EQ(shape(dst.get()), (Shape{16, 10016, 1}));
  EXPECT_EQ(pointsOf(dst.get())[10], (P{1, 5, 5, 9}));
}

TEST(PathCopy, CopiesSpareRecordsAndGrowsOnlyToTheSourceCapacity) {
  auto src = makePath({{1, 1, 2, 3}}, 6);
  src->loop = 4;
  jVectGetVd(src.get())[5] = JVectPoint{9, 8, 7, 6};
  auto small = makePath({{2, 0, 0}, {2, 0, 0}}, 2);
  auto large = makePath({}, 40);
  PathPtr copy(jVectDuplicate(src.get()));
  for (auto [path, capacity] : {std::pair{small.get(), 6}, {large.get(), 40}, {copy.get(), 6}}) {
    if (path != copy.get()) {
      EXPECT_EQ(jVectCopy(path, src.get()), 1);
    }
    EXPECT_EQ(shape(path), (Shape{1, capacity, 4}));
    EXPECT_EQ(record(path, 5), (P{9, 8, 7, 6}));
  }
  jVectSetPoint(copy.get(), 0, 2, 0, 0);
  EXPECT_EQ(pointsOf(src.get())[0], (P{1, 1, 2, 3}));
}

TEST(PathAllocationFailure, LeavesEveryPathAsItWas) {
  auto src = makePath({{1, 1, 1, 5}, {2, 2, 2}, {2, 3, 1}}, 30);
  const std::function<int32_t(JVect *)> growers[] = {
      [](JVect *p) { return jVectExpand(p, 3); },
      [](JVect *p) { return jVectAddPoint(p, 0, 2, 4, 4) == 2 ? 1 : 0; },
      [&](JVect *p) { return jVectAdd(p, src.get()); },
      [&](JVect *p) { return jVectCopy(p, src.get()); }};
  for (const auto &grow : growers) {
    auto dst = makePath({{1, 0, 0}}, 1);
    dst->loop = 2;
    const JVectPoint *array = jVectGetVd(dst.get());
    jMemTestFailNth(1);
    EXPECT_EQ(grow(dst.get()), 0);
    EXPECT_EQ(shape(dst.get()), (Shape{1, 1, 2}));
    EXPECT_EQ(jVectGetVd(dst.get()), array);
    EXPECT_EQ(pointsOf(dst.get()), (Points{{1, 0, 0}}));
    EXPECT_EQ(grow(dst.get()), 1);
  }
  jMemTestFailNth(1);
  EXPECT_EQ(jVectDuplicate(src.get()), nullptr);
}

TEST(PathIndexes, MinusTwoIsTheLastPointAndOtherNegativesFail) {
  auto path = makePath({});
  EXPECT_EQ(jVectGetPoint(path.get(), -2, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(jVectAddPoint(path.get(), -2, 1, 3, 4), 1);
  EXPECT_EQ(jVectAddPoint(path.get(), 1, 2, 5, 6), 2);
  EXPECT_EQ(jVectAddPoint(path.get(), 3, 2, 0, 0), -1);
  EXPECT_EQ(jVectAddPoint(path.get(), -1, 2, 0, 0), -1);
  EXPECT_EQ(jVectAddPoint(path.get(), 0, -32768, 7, 8), 3);
  int32_t mode = 0;
  float x = 0, y = 0;
  EXPECT_EQ(jVectGetPoint(path.get(), -2, &mode, &x, &y), 1);
  EXPECT_TRUE(mode == 2 && x == 5 && y == 6);
  for (int32_t bad : {-1, -3, 3}) {
    for (int32_t r : {jVectGetPoint(path.get(), bad, &mode, &x, &y),
                      jVectSetPoint(path.get(), bad, 2, 0, 0), jVectSetMode(path.get(), bad, 2),
                      jVectMovePoint(path.get(), bad, 1, 1), jVectInvalidPoint(path.get(), bad)})
      EXPECT_EQ(r, 0) << bad;
    for (int32_t r : {jVectDelPoint(path.get(), bad), jVectGetStartPos(path.get(), bad),
                      jVectGetEndPos(path.get(), bad)})
      EXPECT_EQ(r, -1) << bad;
  }
  EXPECT_EQ(jVectSetTag(path.get(), 3, 1), 0);
  EXPECT_EQ(pointsOf(path.get()), (Points{{-32768, 7, 8}, {1, 3, 4}, {2, 5, 6}}));
}

TEST(PathEdit, SetMoveTagAndAttributes) {
  auto path = makePath({{2, 0, 0}, {1, 1, 1, 4}, {11, 2, 2}, {12, 3, 3}, {13, 4, 4},
                        {1, 5, 5, 4}, {43, 6, 6}, {1, 7, 7, 4}});
  EXPECT_EQ(jVectSetTag(path.get(), -1, 9), 1);
  EXPECT_EQ(jVectSetTag(path.get(), 6, 5), 1);
  EXPECT_EQ(jVectSetTag(path.get(), 0, 5), 0);
  EXPECT_EQ(jVectSetPoint(path.get(), 4, 3, 1.5f, 2.5f), 1);
  EXPECT_EQ(jVectMovePoint(path.get(), -2, 0.5f, -7), 1);
  EXPECT_EQ(jVectSetAttri(path.get()), 1);
  EXPECT_EQ(pointsOf(path.get()), (Points{{2, 0, 0}, {1, 1, 1, 9}, {2, 2, 2}, {2, 3, 3},
                                          {3, 1.5f, 2.5f}, {1, 5, 5, 5}, {43, 6, 6}, {1, 7.5f, 0, 9}}));
  auto bounds = makePath({{2, 0, 0}, {2, 1, 1}, {1, 2, 2}, {2, 3, 3}, {1, 4, 4}});
  for (auto [index, start, end] : {std::array{1, -1, 1}, {3, 2, 3}, {-2, 4, 4}}) {
    EXPECT_EQ(jVectGetStartPos(bounds.get(), index), start);
    EXPECT_EQ(jVectGetEndPos(bounds.get(), index), end);
  }
}

TEST(PathRemoval, SweepDelRewindAndClearZeroTheTailButSweepKeepsItsTags) {
  auto path = makePath({{1, 1, 1, 10}, {0, 2, 2, 20}, {2, 3, 3, 30}, {0, 4, 4, 40}});
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(jVectSweepPoint(path.get()), 2);
    EXPECT_EQ(pointsOf(path.get()), (Points{{1, 1, 1, 10}, {2, 3, 3, 30}}));
  }
  EXPECT_EQ(record(path.get(), 3), (P{0, 0, 0, 40}));

  auto two = makePath({{1, 1, 1}, {2, 2, 2}});
  EXPECT_EQ(jVectDelPoint(two.get(), 0), 1);
  EXPECT_EQ(record(two.get(), 0), (P{2, 2, 2}));
  EXPECT_EQ(record(two.get(), 1), (P{0, 0, 0}));
  EXPECT_EQ(jVectDelPoint(two.get(), -2), 0);
  EXPECT_EQ(jVectDelPoint(two.get(), -2), -1);

  auto five = makePath({{1, 1, 1}, {2, 2, 2}, {2, 3, 3}, {2, 4, 4}, {2, 5, 5}});
  for (auto [n, count] : {std::pair{0, 5}, {-1, -1}, {2, 3}, {100, 0}})
    EXPECT_EQ(jVectRewindPoint(five.get(), n), count) << n;
  EXPECT_EQ(record(five.get(), 0), (P{0, 0, 0}));

  // Clearing zeroes every record but keeps the loop word and capacity.
  auto cleared = makePath({{1, 1, 1, 3}, {2, 2, 2}}, 5);
  cleared->loop = 6;
  jVectGetVd(cleared.get())[4] = JVectPoint{7, 7, 7, 7};
  EXPECT_EQ(jVectClear(cleared.get()), 1);
  EXPECT_EQ(shape(cleared.get()), (Shape{0, 5, 6}));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(record(cleared.get(), i), (P{0, 0, 0})) << i;
}

TEST(PathCurveRes, ClampsBothSettings) {
  const struct { int32_t n; float angle; int32_t wantN; float wantAngle; } cases[] = {
      {1000, 0.5f, 128, 3.0f}, {2, 500, 4, 120.0f}, {17, 45.5f, 17, 45.5f}};
  for (const auto &c : cases) {
    jVectSetCurveRes(c.n, c.angle);
    EXPECT_EQ(outlina::curveDivisions(), c.wantN) << c.n;
    EXPECT_EQ(outlina::curveAngle(), c.wantAngle) << c.angle;
  }
  jVectSetCurveRes(32, 3.0f);
}

TEST(PathNullHandles, AnswerWithTheFailureResult) {
  auto path = makePath({{1, 0, 0}});
  jVectClose(nullptr);
  for (int32_t r : {jVectClear(nullptr), jVectExpand(nullptr, 5), jVectCopy(nullptr, path.get()),
                    jVectCopy(path.get(), nullptr), jVectAdd(nullptr, path.get()),
                    jVectAdd(path.get(), nullptr), jVectGetNum(nullptr), jVectGetLoop(nullptr),
                    jVectGetPoint(nullptr, 0, nullptr, nullptr, nullptr),
                    jVectSetPoint(nullptr, 0, 1, 0, 0), jVectSetMode(nullptr, 0, 1),
                    jVectSetTag(nullptr, -1, 1), jVectSetAttri(nullptr),
                    jVectMovePoint(nullptr, 0, 1, 1), jVectInvalidPoint(nullptr, 0),
                    jVectSweepPoint(nullptr), jVectGetLength(nullptr, 0), jVectCheckLoop(nullptr),
                    jVectClosePoint(nullptr, -1), jVectSetStartPos(nullptr, 0),
                    jVectDelNoise(nullptr), jVectSnap(nullptr, 1), jVectScale(nullptr, 1)})
    EXPECT_EQ(r, 0);
  for (int32_t r : {jVectAddPoint(nullptr, -2, 1, 0, 0), jVectDelPoint(nullptr, -2),
                    jVectRewindPoint(nullptr, 1), jVectGetStartPos(nullptr, 0),
                    jVectGetEndPos(nullptr, 0), jVectSearchPoint(nullptr, 0, 0)})
    EXPECT_EQ(r, -1);
  EXPECT_EQ(jVectDuplicate(nullptr), nullptr);
  EXPECT_EQ(jVectGetVd(nullptr), nullptr);
  EXPECT_EQ(pointsOf(path.get()), (Points{{1, 0, 0}}));
}

}  // namespace
