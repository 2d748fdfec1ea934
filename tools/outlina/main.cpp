// outlina: text and outlines in, welded and styled outlines out, through the public C
// interface only.
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
// Room around the outlines on the written page and image.
constexpr double kMarginMm = 1.0;
constexpr double kPngPixelsPerMm = 10.0;

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

struct PathCloser {
  void operator()(JVect *p) const { jVectClose(p); }
};

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

  std::unique_ptr<JVect, PathCloser> path(jVectOpen(10000));
  if (!path) return complain(kExitFailed, "cannot open a path");
  if (job.haveText) {
    bool usage = false;
    if (!setText(job.text, path.get(), error, usage))
      return complain(usage ? kExitUsage : kExitFailed, error);
  } else if (!job.svgIn.empty()) {
    if (!readSvgFile(job.svgIn, path.get(), error))
      return complain(kExitUsage, "--svg-in: " + error);
  } else if (!readJsonFile(job.jsonIn, path.get(), error)) {
    return complain(kExitUsage, "--json-in: " + error);
  }

  for (size_t i = 0; i < steps.size(); ++i)
    if (jVectGetNum(path.get()) > 0 && !steps[i].run(path.get()))
      return complain(kExitFailed, "step " + std::to_string(i + 1) + " (" + steps[i].label +
                                       ") failed; nothing was written");

  bool written = false;
  if (ext == ".svg")
    written = writeText(job.output, svgFromPath(path.get(), kMarginMm), error);
  else if (ext == ".json")
    written = writeText(job.output, jsonFromPath(path.get()), error);
  else
    written = writePng(path.get(), job.output, kPngPixelsPerMm, kMarginMm, error);
  if (!written) return complain(kExitFailed, error);
  std::printf("%s: %d points\n", job.output.c_str(), jVectGetNum(path.get()));
  return 0;
}
