#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "outlina.h"
#include "support/path_builder.h"

namespace {

using testing_support::PathPtr;

// Every mode the library knows, and a few it does not.
constexpr int16_t kModes[] = {0, 1, 2, 3, 11, 12, 13, 21, 22, 31, 32, 33, 41, 42, 43, 44, -7, 5, 50, 999};
constexpr int kIterations = 2000;

class Random {
 public:
  explicit Random(uint32_t seed) : gen_(seed) {}
  int upTo(int n) { return std::uniform_int_distribution<int>(0, n - 1)(gen_); }
  bool chance(int percent) { return upTo(100) < percent; }

  // Small grid coordinates so that points repeat; now and then a non-finite one.
  float coord() {
    if (chance(2)) {
      constexpr float kOdd[] = {NAN, INFINITY, -INFINITY, 1e30f, -1e30f};
      return kOdd[upTo(5)];
    }
    return chance(50) ? static_cast<float>(upTo(9)) : std::uniform_real_distribution<float>(-50, 50)(gen_);
  }

  int16_t mode() { return kModes[upTo(sizeof(kModes) / sizeof(kModes[0]))]; }

 private:
  std::mt19937 gen_;
};

// Half of the paths are built from well-formed segments (then lightly damaged), half are
// random codes, so that both the normal paths and the odd corners are reached.
PathPtr randomPath(Random &rnd) {
  PathPtr path(jVectOpen(1 + rnd.upTo(48)));
  const int length = rnd.upTo(40);
  auto add = [&](int16_t mode) { jVectAddPoint(path.get(), JVECT_LAST, mode, rnd.coord(), rnd.coord()); };
  if (rnd.chance(50)) {
    while (jVectGetNum(path.get()) < length) {
      if (jVectGetNum(path.get()) == 0 || rnd.chance(10)) add(JVM_START);
      static constexpr int16_t kShapes[][4] = {{2}, {3}, {11, 12}, {11, 11, 13}, {21, 22}, {31, 32}, {31, 33}, {41, 42, 43}, {41, 42, 44}};
      for (int16_t m : kShapes[rnd.upTo(9)])
        if (m != 0) add(rnd.chance(3) ? rnd.mode() : m);
    }
  } else {
    for (int i = 0; i < length; ++i) add(i == 0 && rnd.chance(80) ? static_cast<int16_t>(JVM_START) : rnd.mode());
  }
  return path;
}

int32_t randomIndex(Random &rnd, const JVect *path) { return rnd.upTo(jVectGetNum(path) + 4) - 3; }

// Point arrays sized exactly to the room each function promises to use, so that any write or
// read beyond it is caught by the address sanitizer.
void segmentFunctions(Random &rnd) {
  std::vector<float> four(8);
  for (float &v : four) v = rnd.coord();

  const float step = rnd.chance(80) ? 3.0f + rnd.upTo(118) : static_cast<float>(rnd.upTo(3)) - 1.0f;
  const size_t arcRoom = step > 0.0f ? static_cast<size_t>(360.0f / step) + 2 : 3;
  std::vector<float> arc(2 * arcRoom);
  std::copy(four.begin(), four.begin() + 6, arc.begin());
  const int32_t arcPoints = jMathArcToLine(arc.data(), step);
  EXPECT_TRUE(arcPoints >= 2 && arcPoints <= static_cast<int32_t>(arcRoom)) << arcPoints;

  const int32_t n = rnd.upTo(131) - 2;
  std::vector<float> bez(2 * std::max(n + 1, 4));
  std::copy(four.begin(), four.end(), bez.begin());
  const int32_t bezPoints = jMathBezToLine(bez.data(), n);
  EXPECT_TRUE(bezPoints >= 1 && bezPoints <= std::max(n + 1, 2)) << bezPoints << " of " << n;

  std::vector<float> arcBez(2 * 13);
  std::copy(four.begin(), four.begin() + 6, arcBez.begin());
  const int32_t pieces = jMathArcToBez(arcBez.data());
  EXPECT_TRUE(pieces == 3 || pieces == 4 || pieces == 7 || pieces == 10 || pieces == 13) << pieces;

  EXPECT_FALSE(jMathBezierDis(four.data(), rnd.coord(), rnd.coord()) < 0.0);

  int32_t count = rnd.upTo(30);
  std::vector<float> run(2 * std::max(count, 4));
  for (float &v : run) v = rnd.coord();
  jMathLineToBezier(&count, run.data());
  EXPECT_TRUE(count >= 0 && count <= static_cast<int32_t>(run.size() / 2)) << count;
}

void pathFunctions(Random &rnd) {
  PathPtr path = randomPath(rnd);
  JVect *p = path.get();
  float box[4];
  EXPECT_EQ(jVectGetMinMax(box, p, randomIndex(rnd, p)), box);
  const int32_t inside = jVectIsInside(p, randomIndex(rnd, p), rnd.coord(), rnd.coord());
  EXPECT_TRUE(inside >= -1 && inside <= 2);
  const int32_t dir = jVectGetLoopDir(p, randomIndex(rnd, p));
  EXPECT_TRUE(dir >= 0 && dir <= 2);

  switch (rnd.upTo(9)) {
    case 0: jVectReverse(p, randomIndex(rnd, p)); break;
    case 1: jVectMakeReverseLoop(p); break;
    case 2: jVectSetLoopDir(p, rnd.upTo(4)); break;
    case 3: jVectBezToSvt(p, 1 + rnd.upTo(3)); break;
    case 4: jVectArcToBez(p); break;
    case 5: jVectSvtToBez(p); break;
    case 6: jVectGetLine(p); break;
    default:  // the refit chain that every effect runs
      jVectBezToSvt(p, 2 + rnd.upTo(2)), jVectSvtToBez(p), jVectGetLine(p);
  }
  ASSERT_TRUE(jVectGetNum(p) >= 0 && jVectGetNum(p) <= p->capacity) << jVectGetNum(p);
  jVectGetMinMax(box, p, JVECT_ALL);
  jVectGetLoopDir(p, JVECT_LAST);
}

TEST(CurvesRandom, EveryOperationSurvivesRandomPointArrays) {
  Random rnd(20261205);
  for (int i = 0; i < kIterations; ++i) {
    jVectSetCurveRes(4 + rnd.upTo(125), 3.0f + static_cast<float>(rnd.upTo(118)));
    segmentFunctions(rnd);
    pathFunctions(rnd);
    if (HasFatalFailure()) {
      ADD_FAILURE() << "iteration " << i;
      break;
    }
  }
  jVectSetCurveRes(32, 3.0f);
}

}  // namespace
