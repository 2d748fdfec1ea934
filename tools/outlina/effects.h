// The effect steps of the command line, checked up front and then run in order.
#ifndef OUTLINA_TOOLS_EFFECTS_H
#define OUTLINA_TOOLS_EFFECTS_H

#include <functional>
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

}  // namespace outlina::cli

#endif
