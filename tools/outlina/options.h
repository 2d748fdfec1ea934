// The command line of the outlina program.
#ifndef OUTLINA_TOOLS_OPTIONS_H
#define OUTLINA_TOOLS_OPTIONS_H

#include <string>
#include <vector>

#include "outline_io.h"
#include "text_layout.h"

namespace outlina::cli {

// One effect step, in command-line order: the option's name and its raw value.
struct Step {
  std::string option;
  std::string value;
};

struct Job {
  TextSetting text;
  bool haveText = false;
  std::string svgIn, jsonIn;
  bool strokes = true;  // strokes of SVG input become part of the outline
  std::vector<Step> steps;
  std::string output;
  double pngScale = 0;  // pixels per millimetre; 0: fit the image's largest size
  bool force = false;
  bool verbose = false;  // a line per step with its time on standard error
  bool help = false;
};

// False with a one-line message naming the option for a command line that cannot be used.
bool parseCommandLine(int argc, const char *const *argv, Job &job, std::string &error);

std::string helpText();

// Numbers in option values parse strictly (the whole item must be a number).
bool parseNumber(const std::string &text, double &value);

}  // namespace outlina::cli

#endif
