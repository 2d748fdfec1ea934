#include "options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace outlina::cli {

bool parseNumber(const std::string &text, double &value) {
  if (text.empty()) return false;
  char *end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && *end == 0 && std::isfinite(value);
}

namespace {

const char *const kEffectOptions[] = {"--weld",   "--offset", "--widen",    "--dash",
                                      "--stripe", "--shadow", "--envelope", "--resolution"};

// The whole file as the text to set; one final line break is the file's end, not a new line.
bool readTextFile(const std::string &file, std::string &text, std::string &error) {
  std::ifstream in(file, std::ios::binary);
  std::error_code code;
  if (std::filesystem::is_directory(file, code) || !in) {
    error = "--text-file: cannot read " + file;
    return false;
  }
  std::stringstream content;
  content << in.rdbuf();
  text = content.str();
  if (text.ends_with("\r\n"))
    text.resize(text.size() - 2);
  else if (text.ends_with('\n'))
    text.pop_back();
  if (text.empty()) {
    error = "--text-file: " + file + " is empty";
    return false;
  }
  return true;
}

bool isEffect(const std::string &option) {
  for (const char *e : kEffectOptions)
    if (option == e) return true;
  return false;
}

}  // namespace

bool parseCommandLine(int argc, const char *const *argv, Job &job, std::string &error) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    auto value = [&](std::string &out) {
      if (i + 1 >= argc) {
        error = option + ": needs a value (see --help)";
        return false;
      }
      out = argv[++i];
      return true;
    };
    auto number = [&](double &out, double low, double high, const char *range) {
      std::string text;
      if (!value(text)) return false;
      if (!parseNumber(text, out) || out < low || out > high) {
        error = option + ": expected a number " + range + ", got \"" + text + "\"";
        return false;
      }
      return true;
    };
    if (option == "--help" || option == "-h") {
      job.help = true;
    } else if (option == "--text") {
      if (!value(job.text.text)) return false;
      job.haveText = true;
    } else if (option == "--text-file") {
      std::string file;
      if (!value(file)) return false;
      if (!readTextFile(file, job.text.text, error)) return false;
      job.haveText = true;
    } else if (option == "--font") {
      if (!value(job.text.font)) return false;
    } else if (option == "--font-file") {
      if (!value(job.text.fontFile)) return false;
    } else if (option == "--vertical") {
      job.text.vertical = true;
    } else if (option == "--size") {
      if (!number(job.text.sizeMm, 0.01, 10000, "from 0.01 to 10000 (mm)")) return false;
    } else if (option == "--spacing") {
      if (!number(job.text.spacingMm, -10000, 10000, "from -10000 to 10000 (mm)")) return false;
    } else if (option == "--line-gap") {
      if (!number(job.text.lineGapMm, 0, 10000, "from 0 to 10000 (mm)")) return false;
    } else if (option == "--skip-missing") {
      job.text.skipMissing = true;
    } else if (option == "--svg-in") {
      if (!value(job.svgIn)) return false;
    } else if (option == "--no-strokes") {
      job.strokes = false;
    } else if (option == "--png-scale") {
      if (!number(job.pngScale, 0.001, 1000, "from 0.001 to 1000 (pixels per mm)")) return false;
    } else if (option == "--verbose") {
      job.verbose = true;
    } else if (option == "--json-in") {
      if (!value(job.jsonIn)) return false;
    } else if (option == "-o" || option == "--output") {
      if (!value(job.output)) return false;
    } else if (option == "--force") {
      job.force = true;
    } else if (isEffect(option)) {
      Step step{option, {}};
      if (!value(step.value)) return false;
      job.steps.push_back(step);
    } else {
      error = option + ": unknown option (see --help)";
      return false;
    }
  }
  if (job.help) return true;
  const int inputs =
      (job.haveText ? 1 : 0) + (job.svgIn.empty() ? 0 : 1) + (job.jsonIn.empty() ? 0 : 1);
  if (inputs != 1) {
    error = "give exactly one input: --text, --text-file, --svg-in or --json-in (see --help)";
    return false;
  }
  if (job.output.empty()) {
    error = "-o: an output file (.svg, .png or .json) is required";
    return false;
  }
  return true;
}

std::string helpText() {
  return R"(Usage: outlina INPUT [EFFECT...] -o OUTPUT [--force]

Input (exactly one):
  --text TEXT            UTF-8 text; a line feed or \n breaks the line
  --text-file FILE       the text of a UTF-8 file (a final line break is dropped)
    --font NAME          installed font family (for example "IPAGothic")
    --font-file KIND:PATH  outline font file, KIND kuten or indx (name = the file's stem)
    --vertical           vertical writing, columns from right to left
    --size MM            cell height, 0.01 to 10000 (default 10)
    --spacing MM         added after every character (default 0)
    --line-gap MM        between lines or columns (default a quarter of the size)
    --skip-missing       drop characters that Shift-JIS cannot hold
  --svg-in FILE          the outline of an SVG drawing as it is painted: every shape with its
                         fill rule, strokes widened, through g, use, switch and nested svg;
                         a root without width and height is read one mm to the user unit;
                         nesting deeper than 256 levels is refused
    --no-strokes         leave the strokes out
  --json-in FILE         the point-array exchange format

Effects, applied in the order given (lengths in mm):
  --weld union|intersect|hole
  --offset D[,side=out|in][,axis=both|x|y][,joint=miter|round|bevel][,limit=L][,keep][,nofit]
  --widen W[,cap=square|round|flat][,joint=miter|round|bevel][,limit=L][,nofit]
  --dash A:B[:C:D[:E:F]]  dash and gap lengths
  --stripe S:G[,dir=horizontal|vertical|ANGLE][,nofit]
  --shadow block|drop|cast|perspective[,dx=X][,dy=Y][,ratio=P][,offset=O][,option=0..5][,nofit]
                         options 1, 2, 4 and 5 keep the outlines as a layer over the shadow
  --envelope TYPE:PERCENT  envelope shape 1 to 32 at a strength of 0 to 100 percent
  --resolution DIVISIONS:ANGLE  pieces per cubic (4 to 128), arc step in degrees (3 to 120)

Output:
  -o FILE                .svg, .png or .json, chosen by the ending; pieces cut separately
                         (a shadow under its outlines, an offset kept beside its input) are
                         written as layers in their own colours
  --png-scale PX         pixels per mm of a PNG (default 10, smaller to keep within 4000 pixels)
  --force                write over an existing file
  --verbose              a line per step with its time on standard error

Examples:
  outlina --text "ようこそ" --font IPAGothic --weld union --shadow drop,option=1 -o out.svg
  outlina --svg-in logo.svg --offset 0.5,joint=round -o logo.png
  outlina --text "縦書き" --font IPAGothic --vertical --envelope 1:50 -o v.json
)";
}

}  // namespace outlina::cli
