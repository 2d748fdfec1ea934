// outlina: text and outlines in, welded and styled outlines out, through the public C
// interface only.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
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
// Read and write for everyone the umask allows, as an ordinary new file.
constexpr mode_t kNewFileMode = 0666;

int complain(int code, const std::string &message) {
  std::fprintf(stderr, "outlina: %s\n", message.c_str());
  return code;
}

std::string extensionOf(const std::string &file) {
  std::string ext = std::filesystem::path(file).extension().string();
  for (char &c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

using FileWriter = std::function<bool(const std::string &file, std::string &error)>;

// Writes the output into a new file beside it that takes its name only once it is complete: a
// write that fails leaves neither a partial file nor a changed old one. Messages name the output.
bool writeOutput(const std::string &file, const FileWriter &write, std::string &error) {
  const std::string part = file + "." + std::to_string(getpid()) + ".part";
  const int descriptor = open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL, kNewFileMode);
  if (descriptor < 0) {
    error = "cannot write " + file + ": " + std::strerror(errno);
    return false;
  }
  close(descriptor);
  bool written = write(part, error);
  if (written && std::rename(part.c_str(), file.c_str()) != 0) {
    error = "cannot write " + file + ": " + std::strerror(errno);
    written = false;
  }
  if (!written) {
    std::remove(part.c_str());
    if (const size_t at = error.find(part); at != std::string::npos)
      error.replace(at, part.size(), file);
  }
  return written;
}

// A writer of a document held by or streamed to an output stream.
FileWriter streamWriter(const std::function<void(std::ostream &)> &produce) {
  return [produce](const std::string &file, std::string &error) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    produce(out);
    if (!out.flush()) {
      error = "cannot write " + file;
      return false;
    }
    return true;
  };
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
  FileWriter write;
  if (ext == ".svg") {
    write = streamWriter([&out](std::ostream &to) { writeSvg(to, out, kPageMarginMm); });
  } else if (ext == ".json") {
    write = streamWriter([&out](std::ostream &to) { writeJson(to, out); });
  } else {
    const double scale = job.pngScale > 0 ? job.pngScale : fittingPixelsPerMm(out, kPageMarginMm);
    write = [&out, scale](const std::string &file, std::string &problem) {
      return writePng(out, file, scale, kPageMarginMm, problem);
    };
  }
  if (!writeOutput(job.output, write, error)) return complain(kExitFailed, error);
  clock.report("wrote " + job.output, totalPoints(layers));
  std::printf("%s: %d points\n", job.output.c_str(), totalPoints(layers));
  return 0;
}
