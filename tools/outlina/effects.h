// The effect steps of the command line, checked up front and then run in order.
#ifndef OUTLINA_TOOLS_EFFECTS_H
#define OUTLINA_TOOLS_EFFECTS_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "options.h"
#include "outlina.h"

namespace outlina::cli {

struct PreparedStep {
  std::string label;                 // "--offset 1.5", for messages
  std::function<bool(JVect *)> run;  // false when the library reports a failure
  // The result and its input are cut separately: the input stays as a layer over the result.
  bool keepsInput = false;
};

// False with a one-line message naming the option and the allowed values.
bool prepareSteps(const std::vector<Step> &steps, std::vector<PreparedStep> &out,
                  std::string &error);

struct PathCloser {
  void operator()(JVect *p) const { jVectClose(p); }
};
using PathPtr = std::unique_ptr<JVect, PathCloser>;

// Runs the step on every non-empty layer, bottom first; a step that keeps its input puts its
// result under the input. False with the reason when the step fails on a layer or leaves it
// empty; the layers are then unusable.
bool runStep(const PreparedStep &step, std::vector<PathPtr> &layers, std::string &reason);

}  // namespace outlina::cli

#endif
