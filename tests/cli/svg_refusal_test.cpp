// The program on bad input files and its new options: one-line reasons, exit codes, and nothing
// written when it refuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct Outcome {
  int code;
  std::string output;  // standard output and error together
};

Outcome run(const std::string &arguments) {
  FILE *pipe = popen((std::string(OUTLINA_PROGRAM) + " " + arguments + " 2>&1").c_str(), "r");
  std::string output;
  std::array<char, 512> buffer;
  while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) output += buffer.data();
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string dirFile(const std::string &name) {
  const std::string file = std::string(OUTLINA_CLI_OUTPUT_DIR) + "/" + name;
  std::filesystem::remove(file);
  return file;
}

std::string svgOf(const std::string &body) {
  return "<svg xmlns='http://www.w3.org/2000/svg'>\n" + body + "\n</svg>\n";
}

std::string repeated(const std::string &piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

struct BadInput {
  const char *name;
  std::function<std::string()> content;  // empty function: the file is not made
  const char *input;                     // --svg-in or --json-in
  const char *reason;
};

TEST(ProgramRefusal, BadFilesAreNamedWithTheirProblemOnOneLineAndNothingIsWritten) {
  const BadInput cases[] = {
      {"missing.svg", nullptr, "--svg-in", "No such file or directory"},
      {"empty.svg", [] { return std::string(); }, "--svg-in", "is empty"},
      {"unclosed.svg", [] { return std::string("<svg>\n<g>\n</svg>"); }, "--svg-in",
       "line 3: not well-formed XML"},
      {"garbage.svg", [] { return svgOf("<path d='M0 0 L 1 zz 4'/>"); }, "--svg-in",
       "line 2: <path>: malformed numbers after path command 'L'"},
      {"huge.svg", [] { return svgOf("<path d='M0 0 L1e30 0 L0 1Z'/>"); }, "--svg-in",
       "line 2: <path>: a coordinate beyond 1000000 mm"},
      {"overflow.svg", [] { return svgOf("<path d='M0 0 L1e400 0 L0 1Z'/>"); }, "--svg-in",
       "a number out of range after path command 'L'"},
      {"nan.svg", [] { return svgOf("<rect width='-nan' height='1'/>"); }, "--svg-in",
       "line 2: <rect>: width=\"-nan\" is out of range"},
      {"scaled.svg",
       [] { return svgOf("<g transform='scale(1e300)'><rect width='1' height='1'/></g>"); },
       "--svg-in", "<rect>: a coordinate beyond"},
      {"zipped.svg", [] { return std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00", 8); }, "--svg-in",
       "is compressed with gzip"},
      {"deep.svg",
       [] {
         return svgOf(repeated("<g>", 10000) + "<rect width='1' height='1'/>" +
                      repeated("</g>", 10000));
       },
       "--svg-in", "<g>: nested deeper than 256 levels"},
      {"loop.svg", [] { return svgOf("<g id='a'><use href='#a'/></g>"); }, "--svg-in",
       "<use>: refers to \"#a\", which contains it"},
      {"blank.svg", [] { return svgOf("<rect width='4' height='4' fill='none'/>"); }, "--svg-in",
       "nothing is painted"},
      {"many.svg", [] { return svgOf(repeated("<path d='M0 0h1v1z'/>\n", 100000)); }, "--svg-in",
       "more than 99999 painted shapes"},
      {"far.json",
       [] { return std::string(R"({"format":"outlina-points","points":[[1,1e30,0,0]]})"); },
       "--json-in", "point 0 lies out of range"},
  };
  for (const BadInput &c : cases) {
    const std::string file = dirFile(c.name), out = dirFile("refused.svg");
    if (c.content) std::ofstream(file, std::ios::binary) << c.content();
    const Outcome r = run(std::string(c.input) + " " + file + " -o " + out);
    EXPECT_EQ(r.code, kExitUsage) << c.name << ": " << r.output;
    EXPECT_NE(r.output.find(file), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(c.reason), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find('\n'), r.output.size() - 1) << r.output;
    EXPECT_FALSE(std::filesystem::exists(out)) << c.name;
  }
  const Outcome folder = run("--svg-in " + std::string(OUTLINA_CLI_OUTPUT_DIR) + " -o x.svg");
  EXPECT_EQ(folder.code, kExitUsage);
  EXPECT_NE(folder.output.find("is a folder"), std::string::npos) << folder.output;
}

TEST(ProgramRefusal, AFailedEffectSaysWhy) {
  const std::string open = dirFile("open.json"), apart = dirFile("apart.svg");
  std::ofstream(open) << R"({"format":"outlina-points","points":[[1,0,0,0],[2,5,0,0]]})";
  std::ofstream(apart) << svgOf("<rect width='2' height='2'/><rect x='5' width='2' height='2'/>");
  const Outcome noOutline = run("--json-in " + open + " --weld union -o " + dirFile("a.svg"));
  EXPECT_EQ(noOutline.code, kExitFailed);
  EXPECT_NE(noOutline.output.find("there is no closed outline to work on"), std::string::npos)
      << noOutline.output;
  const Outcome empty = run("--svg-in " + apart + " --weld intersect -o " + dirFile("b.svg"));
  EXPECT_EQ(empty.code, kExitFailed);
  EXPECT_NE(empty.output.find("(--weld intersect) failed: the result is empty"), std::string::npos)
      << empty.output;
}

TEST(ProgramOptions, TextFileVerboseLayersAndPngScale) {
  const std::string text = dirFile("text.txt"), a = dirFile("a.json"), b = dirFile("b.json");
  std::ofstream(text) << "文字\n";
  ASSERT_EQ(run("--text 文字 --font IPAGothic -o " + a).code, 0);
  const Outcome fromFile = run("--text-file " + text + " --font IPAGothic --verbose -o " + b);
  ASSERT_EQ(fromFile.code, 0) << fromFile.output;
  EXPECT_NE(fromFile.output.find("outlina: set the text: "), std::string::npos);
  EXPECT_NE(fromFile.output.find(" ms\n"), std::string::npos);
  std::stringstream first, second;
  first << std::ifstream(a).rdbuf();
  second << std::ifstream(b).rdbuf();
  EXPECT_EQ(first.str(), second.str());

  // The shadow with the outlines cut out lies under the outlines: two layers, two colours.
  const std::string layered = dirFile("layered.svg");
  ASSERT_EQ(run("--json-in " + a + " --shadow drop,option=1 -o " + layered).code, 0);
  std::stringstream svg;
  svg << std::ifstream(layered).rdbuf();
  EXPECT_NE(svg.str().find("<g id=\"layer2\">\n    <path fill-rule=\"nonzero\" fill=\"black\""),
            std::string::npos);
  EXPECT_NE(svg.str().find("<g id=\"layer1\">\n    <path fill-rule=\"nonzero\" fill=\"#"),
            std::string::npos);

  // A drawing five metres wide still fits the largest image; a chosen scale is kept.
  const std::string wide = dirFile("wide.svg"), png = dirFile("wide.png");
  std::ofstream(wide) << svgOf("<rect width='4998' height='98'/>");
  EXPECT_EQ(run("--svg-in " + wide + " -o " + png).code, 0);
  EXPECT_EQ(run("--svg-in " + wide + " --png-scale 20 -o " + dirFile("too.png")).code, kExitFailed);
  EXPECT_EQ(run("--svg-in " + wide + " --png-scale 0.5 -o " + dirFile("half.png")).code, 0);
}

}  // namespace
