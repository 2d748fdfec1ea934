#include "support/fault_loop.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using testing_support::makePath;
using testing_support::OnFailure;
using testing_support::PathPtr;

// Small capacities, so that every operation must grow its path.
PathPtr square() {
  return makePath({{1, 0, 0}, {2, 0, 10}, {2, 10, 10}, {2, 10, 0}, {2, 0, 0}}, 5);
}
PathPtr curves() {
  return makePath({{1, 0, 0, 7}, {41, 10, 40}, {42, 60, 40}, {43, 70, 0}, {31, 50, -40},
                   {32, 30, -20}, {21, 15, -25}, {22, 0, 0}}, 8);
}
PathPtr flatCurves() {
  PathPtr path = curves();
  jVectBezToSvt(path.get(), 2);
  return path;
}
PathPtr line() {
  return makePath({{1, 0, 0, 3}, {2, 10, 0}, {2, 10, 10}, {1, 20, 0}, {2, 30, 0}}, 5);
}
// Two overlapping squares, both in direction 1, for the combine and the effects.
PathPtr pair() {
  return makePath({{1, 0, 0}, {2, 0, 10}, {2, 10, 10}, {2, 10, 0}, {2, 0, 0},
                   {1, 5, 5}, {2, 5, 15}, {2, 15, 15}, {2, 15, 5}, {2, 5, 5}}, 10);
}

struct Row {
  std::string name;
  PathPtr (*make)();
  std::function<int32_t(JVect *)> op;
  OnFailure onFailure = OnFailure::Unchanged;
};

std::vector<Row> table() {
  static const PathPtr source = curves();
  static const float pattern[6] = {3, 1, 2, 1, 1, 1};
  static const JVectransShapeParam shape{9, 60, -10, -40, 80, 40};
  static const JWeldOffsetParam offset{1.5f, 0, 0, 0, JVJ_ROUND, 4, 1, 1};
  static const JWeldWidenParam widen{2, JVC_ROUND, JVJ_MITER, 4, 1};
  constexpr OnFailure kStage = OnFailure::Stage;
  std::vector<Row> rows = {
      {"jVectOpen", square, [](JVect *) { return PathPtr(jVectOpen(8)) != nullptr ? 1 : 0; }},
      {"jVectDuplicate", square, [](JVect *p) { return PathPtr(jVectDuplicate(p)) ? 1 : 0; }},
      {"jVectExpand", square, [](JVect *p) { return jVectExpand(p, 20); }},
      {"jVectCopy", square, [](JVect *p) { return jVectCopy(p, source.get()); }},
      {"jVectAdd", square, [](JVect *p) { return jVectAdd(p, source.get()); }},
      {"jVectAddPoint", square, [](JVect *p) { return jVectAddPoint(p, 1, 2, 4, 4) == 6 ? 1 : 0; }},
      {"jVectClosePoint", line, [](JVect *p) { return jVectClosePoint(p, JVECT_ALL); }},
      {"jVectMakeReverseLoop", line, jVectMakeReverseLoop},
      {"jVectSetLoopDir", pair, [](JVect *p) { return jVectSetLoopDir(p, 2); }},
      {"jVectOffsetPath", square, [](JVect *p) { return jVectOffsetPath(p, 1, 1, 5, 4, 0); }},
      {"jVectOffsetPath -2", curves, [](JVect *p) { return jVectOffsetPath(p, -2, 2, 4, 2, 0); }},
      {"jVectWidenPath closed", square, [](JVect *p) { return jVectWidenPath(p, 2, 1, 5, 4); }},
      {"jVectWidenPath open", line, [](JVect *p) { return jVectWidenPath(p, 2, 2, 4, 4); }},
      {"jVectDash", curves, [](JVect *p) { return jVectDash(p, 4, pattern); }},
      {"jVectDash solid", curves, [](JVect *p) { return jVectDash(p, 1, pattern); }},
      {"jVectBezToSvt", curves, [](JVect *p) { return jVectBezToSvt(p, 3); }},
      {"jVectArcToBez", curves, jVectArcToBez},
      {"jVectSvtToBez", flatCurves, jVectSvtToBez},
      {"jWeldExecute", pair, [](JVect *p) { return jWeldExecute(JWM_UNION, p); }, kStage},
      {"jVectransShapeEffect", curves,
       [](JVect *p) { return jVectransShapeEffect(&shape, p); }, kStage},
      {"jWeldOffset", pair, [](JVect *p) { return jWeldOffset(&offset, p); }, kStage},
      {"jWeldWiden", line, [](JVect *p) { return jWeldWiden(&widen, p); }, kStage},
  };
  for (int32_t mode : {JWM_UNION, JWM_INTERSECT, JWM_HOLE, JWM_UNION_ALL})
    rows.push_back({"jWeldCombineVect " + std::to_string(mode), pair,
                    [mode](JVect *p) { return jWeldCombineVect(p, mode); }});
  for (int32_t direction : {0, 1, 2}) {
    const JWeldStripeParam stripe{2, 1, direction, 30, 1};
    rows.push_back({"jWeldStripe " + std::to_string(direction), pair,
                    [stripe](JVect *p) { return jWeldStripe(&stripe, p); }, kStage});
  }
  // Every option on the block kind, and the other kinds on option 0.
  for (auto [kind, option] : {std::pair{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {1, 0},
                              {2, 0}, {3, 0}}) {
    const JWeldShadowParam shadow{kind, option, 3, -2, 80, 1, 0, 0, 1};
    rows.push_back({"jWeldShadow " + std::to_string(kind) + "/" + std::to_string(option), pair,
                    [shadow](JVect *p) { return jWeldShadow(&shadow, p); }, kStage});
  }
  return rows;
}

TEST(FaultLoop, EveryOperationFailsWholeOrSucceedsWhole) {
  for (const Row &row : table()) {
    SCOPED_TRACE(row.name);
    testing_support::runFaultLoop(row.make, row.op, row.onFailure);
  }
}

// The operations that only read or edit in place take no memory at all.
TEST(FaultLoop, MeasuringAndEditingInPlaceAllocateNothing) {
  PathPtr path = curves();
  float box[4];
  jMemTestFailNth(1);
  jVectGetMinMax(box, path.get(), JVECT_ALL);
  jVectIsInside(path.get(), 0, 30, 10);
  jVectGetLoopDir(path.get(), 0);
  jVectReverse(path.get(), JVECT_ALL);
  jVectSetStartPos(path.get(), 3);
  jVectGetLine(path.get());
  jVectDelNoise(path.get());
  jVectSetAttri(path.get());
  jVectScale(path.get(), 2);
  jVectSnap(path.get(), 0.5f);
  jVectDelPoint(path.get(), 1);
  jVectRewindPoint(path.get(), 1);
  EXPECT_EQ(jMemTestArmed(), 1);
  jMemTestFailNth(0);
}

}  // namespace
