#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "outlina.h"
#include "support/path_builder.h"
#include "weld/combine_stages.h"
#include "weld/weld_shapes.h"

namespace {

using namespace testing_support;

using namespace outlina;
using weld_shapes::addOutline;
using weld_shapes::rectangle;

// Paths of a million points are opened at full size rather than grown point by point.
constexpr int32_t kRoomy = kWeldSegmentTableSize + 64;

// Holds the work tables for one stage-level check and releases them whatever happens.
struct Tables {
  Tables() { EXPECT_TRUE(weldAllocTables()); }
  ~Tables() { weldFreeTables(); }
};

// A convex polygon of n vertices on a circle far from the origin: many segments, no crossings.
weld_shapes::Outline ring(int32_t n) {
  weld_shapes::Outline out;
  for (int32_t k = 0; k < n; ++k) {
    const double a = -6.283185307179586 * k / n;
    out.push_back({static_cast<float>(-30000 + 20000 * std::cos(a)),
                   static_cast<float>(20000 * std::sin(a))});
  }
  return out;
}

// A long bar whose top edge is crossed by `teeth` thin rectangles (two crossings each).
void addComb(JVect *path, int32_t teeth) {
  addOutline(path, rectangle(0, 0, teeth + 1.0f, 1));
  for (int32_t k = 0; k < teeth; ++k) addOutline(path, rectangle(k + 0.25f, 0.5f, k + 0.75f, 2));
}

TEST(WeldCombineLimits, BuildStopsBeforeTheContourAndSegmentTablesOverflow) {
  PathPtr many(jVectOpen(kRoomy));
  for (int32_t k = 0; k < kWeldMaxContours; ++k)
    addOutline(many.get(), rectangle(k * 2.0f, 0, k * 2.0f + 1, 1));
  PathPtr long_(jVectOpen(kRoomy));
  addOutline(long_.get(), ring(kWeldMaxBuildSegments));
  for (PathPtr *path : {&many, &long_}) {
    {
      Tables tables;
      EXPECT_TRUE(weldBuildSegments(path->get()));
      EXPECT_EQ(path == &many ? weldTables.contourCount : weldTables.segmentCount,
                path == &many ? kWeldMaxContours : kWeldMaxBuildSegments);
    }
    // A further contour: the stage and the whole combine refuse, the latter
    // leaving the path flattened, not combined, and the tables released.
    addOutline(path->get(), rectangle(-5, 0, -4, 1));
    {
      Tables tables;
      EXPECT_FALSE(weldBuildSegments(path->get()));
    }
    const int32_t count = jVectGetNum(path->get());
    EXPECT_EQ(jWeldCombineVect(path->get(), JWM_UNION_ALL), 0);
    EXPECT_EQ(jVectGetNum(path->get()), count);
    EXPECT_EQ(weldTables.segments, nullptr);
  }
}

TEST(WeldCombineLimits, OneSegmentMayMeetAtMost9999Crossings) {
  {
    Tables tables;
    PathPtr path(jVectOpen(kRoomy));
    addComb(path.get(), 4999);
    // One more crossing: a triangle whose upright edge meets the bar's top edge once.
    addOutline(path.get(), {{4999.9f, 0.5f}, {4999.9f, 2}, {5010, 2}});
    ASSERT_TRUE(weldBuildSegments(path.get()) && weldCancelSharedEdges());
    EXPECT_TRUE(weldSplitAtCrossings());
  }
  PathPtr path(jVectOpen(kRoomy));
  addComb(path.get(), 5000);
  EXPECT_EQ(jWeldCombineVect(path.get(), JWM_UNION_ALL), 0);
  EXPECT_EQ(weldTables.segments, nullptr);
}

TEST(WeldCombineLimits, PiecesMustLeaveRoomInTheSegmentTable) {
  // The bar comes first, its top edge holding ten crossings; the five teeth take one crossing
  // on each of their two upright edges; the ring brings the table near its end.
  auto run = [](int32_t baseSegments) {
    Tables tables;
    PathPtr path(jVectOpen(kRoomy));
    addComb(path.get(), 5);
    addOutline(path.get(), ring(baseSegments - 24));
    EXPECT_TRUE(weldBuildSegments(path.get()) && weldCancelSharedEdges());
    EXPECT_EQ(weldTables.segmentCount, baseSegments);
    const bool ok = weldSplitAtCrossings();
    if (ok) {
      EXPECT_EQ(weldTables.segmentCount, baseSegments + 11 + 20);
    }
    return ok;
  };
  EXPECT_TRUE(run(kWeldSegmentTableSize - 40));
  EXPECT_FALSE(run(kWeldSegmentTableSize - 10));
}

TEST(WeldCombineLimits, AProbeLineMayMeetFewerThan10000Segments) {
  // One comb-shaped contour: the probe of its first, upright edge meets every tooth twice.
  auto comb = [](int32_t teeth) {
    weld_shapes::Outline outline = {{0, 0}};
    for (int32_t k = 0; k < teeth; ++k) {
      const float x = 2.0f * k;
      outline.insert(outline.end(), {{x, 9}, {x + 1, 9}, {x + 1, 1}, {x + 2, 1}});
    }
    outline.back().y = 0;
    outline.back().x -= 1;
    PathPtr path(jVectOpen(kRoomy));
    addOutline(path.get(), outline);
    return path;
  };
  PathPtr fits = comb(4999);
  EXPECT_EQ(jWeldCombineVect(fits.get(), JWM_UNION_ALL), 1);
  EXPECT_EQ(jVectGetNum(fits.get()), 4999 * 4 + 2);
  PathPtr overflows = comb(5000);
  const int32_t count = jVectGetNum(overflows.get());
  EXPECT_EQ(jWeldCombineVect(overflows.get(), JWM_UNION_ALL), 0);
  EXPECT_EQ(jVectGetNum(overflows.get()), count);
}

}  // namespace
