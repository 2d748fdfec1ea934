// The public operations that make or change a path, each with fixed parameters, as one table for
// everything that runs all of them: the allocation-failure loop and the results digest.
#ifndef OUTLINA_TESTS_SUPPORT_OPERATIONS_H
#define OUTLINA_TESTS_SUPPORT_OPERATIONS_H

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "outlina.h"
#include "support/path_builder.h"

namespace testing_support {

// What a failure may leave: the path as it was, or the stage at which an effect stopped.
enum class OnFailure { Unchanged, Stage };

// Sample paths with small capacities, so that every operation must grow its path.
inline PathPtr square() {
  return makePath({{1, 0, 0}, {2, 0, 10}, {2, 10, 10}, {2, 10, 0}, {2, 0, 0}}, 5);
}
inline PathPtr curves() {
  return makePath({{1, 0, 0, 7},
                   {41, 10, 40},
                   {42, 60, 40},
                   {43, 70, 0},
                   {31, 50, -40},
                   {32, 30, -20},
                   {21, 15, -25},
                   {22, 0, 0}},
                  8);
}
inline PathPtr flatCurves() {
  PathPtr path = curves();
  jVectBezToSvt(path.get(), 2);
  return path;
}
inline PathPtr openLines() {
  return makePath({{1, 0, 0, 3}, {2, 10, 0}, {2, 10, 10}, {1, 20, 0}, {2, 30, 0}}, 5);
}
// Two overlapping squares, both in direction 1, for the combine and the effects.
inline PathPtr overlappingSquares() {
  return makePath({{1, 0, 0},
                   {2, 0, 10},
                   {2, 10, 10},
                   {2, 10, 0},
                   {2, 0, 0},
                   {1, 5, 5},
                   {2, 5, 15},
                   {2, 15, 15},
                   {2, 15, 5},
                   {2, 5, 5}},
                  10);
}

struct Operation {
  std::string name;
  PathPtr (*sample)();                  // a path the operation has work to do on
  std::function<int32_t(JVect *)> run;  // 1 for success, 0 for failure
  OnFailure onFailure = OnFailure::Unchanged;
};

inline std::vector<Operation> publicOperations() {
  static const PathPtr source = curves();
  static const float pattern[6] = {3, 1, 2, 1, 1, 1};
  static const JVectransShapeParam shape{9, 60, -10, -40, 80, 40};
  static const JWeldOffsetParam offset{1.5f, 0, 0, 0, JVJ_ROUND, 4, 1, 1};
  static const JWeldWidenParam widen{2, JVC_ROUND, JVJ_MITER, 4, 1};
  constexpr OnFailure kStage = OnFailure::Stage;
  std::vector<Operation> rows = {
      {"jVectOpen", square, [](JVect *) { return PathPtr(jVectOpen(8)) != nullptr ? 1 : 0; }},
      {"jVectDuplicate", square, [](JVect *p) { return PathPtr(jVectDuplicate(p)) ? 1 : 0; }},
      {"jVectExpand", square, [](JVect *p) { return jVectExpand(p, 20); }},
      {"jVectCopy", square, [](JVect *p) { return jVectCopy(p, source.get()); }},
      {"jVectAdd", square, [](JVect *p) { return jVectAdd(p, source.get()); }},
      {"jVectAddPoint", square, [](JVect *p) { return jVectAddPoint(p, 1, 2, 4, 4) > 0 ? 1 : 0; }},
      {"jVectClosePoint", openLines, [](JVect *p) { return jVectClosePoint(p, JVECT_ALL); }},
      {"jVectMakeReverseLoop", openLines, jVectMakeReverseLoop},
      {"jVectSetLoopDir", overlappingSquares, [](JVect *p) { return jVectSetLoopDir(p, 2); }},
      {"jVectOffsetPath out", square, [](JVect *p) { return jVectOffsetPath(p, 1, 1, 5, 4, 0); }},
      {"jVectOffsetPath in", curves, [](JVect *p) { return jVectOffsetPath(p, -2, 2, 4, 2, 0); }},
      {"jVectWidenPath butt", square, [](JVect *p) { return jVectWidenPath(p, 2, 1, 5, 4); }},
      {"jVectWidenPath round", openLines, [](JVect *p) { return jVectWidenPath(p, 2, 2, 4, 4); }},
      {"jVectDash", curves, [](JVect *p) { return jVectDash(p, 4, pattern); }},
      {"jVectDash solid", curves, [](JVect *p) { return jVectDash(p, 1, pattern); }},
      {"jVectBezToSvt", curves, [](JVect *p) { return jVectBezToSvt(p, 3); }},
      {"jVectArcToBez", curves, jVectArcToBez},
      {"jVectSvtToBez", flatCurves, jVectSvtToBez},
      {"jVectransShapeEffect", curves, [](JVect *p) { return jVectransShapeEffect(&shape, p); },
       kStage},
      {"jWeldOffset", overlappingSquares, [](JVect *p) { return jWeldOffset(&offset, p); }, kStage},
      {"jWeldWiden", openLines, [](JVect *p) { return jWeldWiden(&widen, p); }, kStage},
  };
  for (int32_t rule : {JWF_NONZERO, JWF_EVENODD})
    rows.push_back({"jWeldFillVect " + std::to_string(rule), overlappingSquares,
                    [rule](JVect *p) { return jWeldFillVect(p, rule); }});
  for (int32_t mode : {JWM_UNION, JWM_INTERSECT, JWM_HOLE, JWM_UNION_ALL}) {
    rows.push_back({"jWeldCombineVect " + std::to_string(mode), overlappingSquares,
                    [mode](JVect *p) { return jWeldCombineVect(p, mode); }});
    rows.push_back({"jWeldExecute " + std::to_string(mode), overlappingSquares,
                    [mode](JVect *p) { return jWeldExecute(mode, p); }, kStage});
  }
  for (int32_t direction : {0, 1, 2}) {
    const JWeldStripeParam stripe{2, 1, direction, 30, 1};
    rows.push_back({"jWeldStripe " + std::to_string(direction), overlappingSquares,
                    [stripe](JVect *p) { return jWeldStripe(&stripe, p); }, kStage});
  }
  // Every option on the block kind, and the other kinds on option 0.
  for (auto [kind, option] :
       {std::pair{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {1, 0}, {2, 0}, {3, 0}}) {
    const JWeldShadowParam shadow{kind, option, 3, -2, 80, 1, 0, 0, 1};
    rows.push_back({"jWeldShadow " + std::to_string(kind) + "/" + std::to_string(option),
                    overlappingSquares, [shadow](JVect *p) { return jWeldShadow(&shadow, p); },
                    kStage});
  }
  return rows;
}

}  // namespace testing_support

#endif
