// outlina: text and outlines in, welded and styled outlines out, through the public C
// interface only.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "effects.h"
#include "json_io.h"
#include "options.h"
#include "png_writer.h"
#include "svg_reader.h"
#include "svg_writer.h"

using namespace outlina::cli;

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kStartCapacity = 10000;

int complain(int code, const std::string &message) {
  std::fprintf(stderr, "outlina: %s\n", message.c_str());
  return code;
}

std::string extensionOf(const std::string &file) {
  std::string ext = std::filesystem::path(file).extension().string();
  for (char &c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

bool writeText(const std::string &file, const std::string &text, std::string &error) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out.flush()) {
    error = "cannot write " + file;
    return false;
  }
  return true;
}

// Prints "outlina: WHAT: N points, T ms" on standard error when asked to.
class StepClock {
 public:
  explicit StepClock(bool on) : on_(on) {}
  void report(const std::string &what, int points) {
    const auto now = std::chrono::steady_clock::now();
    if (on_)
      std::fprintf(stderr, "outlina: %s: %d points, %.1f ms\n", what.c_str(), points,
                   std::chrono::duration<double, std::milli>(now - last_).count());
    last_ = now;
  }

 private:
  bool on_;
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
};

int totalPoints(const std::vector<PathPtr> &layers) {
  int n = 0;
  for (const PathPtr &layer : layers) n += jVectGetNum(layer.get());
  return n;
}

}  // namespace

int main(int argc, char **argv) {
  Job job;
  std::string error;
  if (!parseCommandLine(argc, argv, job, error)) return complain(kExitUsage, error);
  if (job.help) {
    std::fputs(helpText().c_str(), stdout);
    return 0;
  }
  const std::string ext = extensionOf(job.output);
  if (ext != ".svg" && ext != ".png" && ext != ".json")
    return complain(kExitUsage,
                    "-o: the output must end in .svg, .png or .json, got \"" + job.output + "\"");
  if (!job.force && std::filesystem::exists(job.output))
    return complain(kExitUsage, "-o: " + job.output + " exists (--force writes over it)");
  std::vector<PreparedStep> steps;
  if (!prepareSteps(job.steps, steps, error)) return complain(kExitUsage, error);

  StepClock clock(job.verbose);
  std::vector<PathPtr> layers;
  layers.emplace_back(jVectOpen(kStartCapacity));
  JVect *input = layers[0].get();
  if (!input) return complain(kExitFailed, "cannot open a path");
  if (job.haveText) {
    bool usage = false;
    if (!setText(job.text, input, error, usage))
      return complain(usage ? kExitUsage : kExitFailed, error);
    clock.report("set the text", jVectGetNum(input));
  } else if (!job.svgIn.empty()) {
    if (!readSvgOutlineFile(job.svgIn, input, error, SvgReading{job.strokes}))
      return complain(kExitUsage, "--svg-in: " + error);
    clock.report("read " + job.svgIn, jVectGetNum(input));
  } else {
    if (!readJsonFile(job.jsonIn, input, error)) return complain(kExitUsage, "--json-in: " + error);
    clock.report("read " + job.jsonIn, jVectGetNum(input));
  }

  for (size_t i = 0; i < steps.size(); ++i) {
    if (!runStep(steps[i], layers, error))
      return complain(kExitFailed, "step " + std::to_string(i + 1) + " (" + steps[i].label +
                                       ") failed: " + error + "; nothing was written");
    clock.report("step " + std::to_string(i + 1) + " (" + steps[i].label + ")",
                 totalPoints(layers));
  }

  Layers out;
  for (const PathPtr &layer : layers) out.push_back(layer.get());
  bool written = false;
  if (ext == ".svg") {
    written = writeText(job.output, svgFromLayers(out, kPageMarginMm), error);
  } else if (ext == ".json") {
    written = writeText(job.output, jsonFromLayers(out), error);
  } else {
    const double scale = job.pngScale > 0 ? job.pngScale : fittingPixelsPerMm(out, kPageMarginMm);
    written = writePng(out, job.output, scale, kPageMarginMm, error);
  }
  if (!written) return complain(kExitFailed, error);
  clock.report("wrote " + job.output, totalPoints(layers));
  std::printf("%s: %d points\n", job.output.c_str(), totalPoints(layers));
  return 0;
}
