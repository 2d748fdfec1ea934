#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "support/path_builder.h"

namespace {

using testing_support::PathPtr;

// The mode sequences of one segment each: every kind, the second variants, and malformed ends:
// ends without controls and controls without their end among points that name no kind.
const std::vector<std::vector<int>> kSegments = {{JVM_LINE},
                                                 {JVM_LINE_ALT},
                                                 {JVM_SVT, JVM_SVT, JVM_SVT_END_ALT},
                                                 {JVM_ARC_MID, JVM_ARC_END},
                                                 {JVM_QUAD_CTRL, JVM_QUAD_END},
                                                 {JVM_QUAD_CTRL, JVM_QUAD_END_ALT},
                                                 {JVM_BEZ_CTRL1, JVM_BEZ_CTRL2, JVM_BEZ_END},
                                                 {JVM_BEZ_CTRL1, JVM_BEZ_CTRL2, JVM_BEZ_END_ALT},
                                                 {JVM_BEZ_END},
                                                 {JVM_BEZ_CTRL1, JVM_BEZ_END},
                                                 {JVM_BEZ_CTRL2, JVM_NONE, JVM_ARC_END},
                                                 {57, JVM_QUAD_CTRL, JVM_LINE}};

// One random closed contour of two to eight segments.
PathPtr randomContour(std::mt19937 &rng) {
  std::uniform_real_distribution<float> coord(-50.0f, 50.0f);
  std::uniform_int_distribution<size_t> pick(0, kSegments.size() - 1);
  PathPtr path(jVectOpen(64));
  const float x0 = coord(rng), y0 = coord(rng);
  jVectAddPoint(path.get(), JVECT_LAST, JVM_START, x0, y0);
  for (int n = std::uniform_int_distribution<int>(2, 8)(rng); n > 0; --n)
    for (int mode : kSegments[pick(rng)])
      jVectAddPoint(path.get(), JVECT_LAST, static_cast<int16_t>(mode), coord(rng), coord(rng));
  jVectAddPoint(path.get(), JVECT_LAST, JVM_LINE, x0, y0);
  return path;
}

TEST(WalkerProperty, FlattenedPathAnswersAsThePathItself) {
  std::mt19937 rng(20240613);
  std::uniform_real_distribution<float> query(-60.0f, 60.0f);
  for (auto [divisions, angle] : {std::pair{32, 3.0f}, {4, 40.0f}, {128, 7.5f}}) {
    jVectSetCurveRes(divisions, angle);
    for (int round = 0; round < 300; ++round) {
      PathPtr path = randomContour(rng);
      PathPtr flat(jVectDuplicate(path.get()));
      ASSERT_EQ(jVectBezToSvt(flat.get(), 2), 1);
      std::array<float, 4> box{}, flatBox{};
      jVectGetMinMax(box.data(), path.get(), 0);
      jVectGetMinMax(flatBox.data(), flat.get(), 0);
      // The flattening writes the very pieces that the walker measures, so nothing may differ.
      ASSERT_EQ(box, flatBox) << round;
      ASSERT_EQ(jVectGetLoopDir(path.get(), 0), jVectGetLoopDir(flat.get(), 0)) << round;
      for (int q = 0; q < 20; ++q) {
        const float x = query(rng), y = query(rng);
        ASSERT_EQ(jVectIsInside(path.get(), 0, x, y), jVectIsInside(flat.get(), 0, x, y))
            << round << " at " << x << ", " << y;
      }
    }
  }
  jVectSetCurveRes(32, 3.0f);
}

}  // namespace
