// End-to-end runs of the outlina program: its exit codes, messages and written geometry.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "support/measure.h"
#include "svg_reader.h"

using namespace outlina::cli;

namespace {

using namespace testing_support;

struct Outcome {
  int code;
  std::string output;  // stdout and stderr together
};

Outcome run(const std::string &arguments) {
  const std::string command = std::string(OUTLINA_PROGRAM) + " " + arguments + " 2>&1";
  FILE *pipe = popen(command.c_str(), "r");
  std::string output;
  std::array<char, 512> buffer;
  while (fgets(buffer.data(), buffer.size(), pipe) != nullptr) output += buffer.data();
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string outputFile(const std::string &name) {
  const std::string file = std::string(OUTLINA_CLI_OUTPUT_DIR) + "/" + name;
  std::filesystem::remove(file);
  return file;
}

// The written outline read back and measured: box[0..3] are min x, min y, max x, max y.
Measure geometryOf(const std::string &svgFile) {
  PathPtr path(jVectOpen(1000));
  std::string error;
  EXPECT_TRUE(readSvgFile(svgFile, path.get(), error)) << error;
  return measure(path.get());
}

const std::string kFont = "--font IPAGothic";

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

}  // namespace

TEST(Program, TextSitsInItsCellsInMillimetresAlongOrDownTheLine) {
  const std::string out = outputFile("text.svg");
  ASSERT_EQ(run("--text 'あいう' " + kFont + " --size 10 -o " + out).code, 0);
  Measure g = geometryOf(out);
  EXPECT_GE(g.contours, 3);
  EXPECT_TRUE(g.box[0] >= 0 && g.box[1] >= 0 && g.box[2] <= 30 && g.box[3] <= 10);
  EXPECT_GT(std::fabs(g.area), 10);  // three kana cover well over a tenth of their 300 mm² of cells
  ASSERT_EQ(run("--text 'あいう' " + kFont + " --vertical --size 10 --force -o " + out).code, 0);
  g = geometryOf(out);
  EXPECT_TRUE(g.box[0] >= 0 && g.box[1] >= -30 && g.box[2] <= 10 && g.box[3] <= 0);
  EXPECT_GT(g.box[3] - g.box[1], 20);  // three characters, one under the other
}

TEST(Program, EveryEffectKeepsAFilledOutline) {
  const std::string base = outputFile("base.svg");
  ASSERT_EQ(run("--text '文字' " + kFont + " -o " + base).code, 0);
  const Measure plain = geometryOf(base);
  const char *effects[] = {"--weld union", "--widen 0.3,cap=round", "--dash 1:0.5", "--stripe 1:0.5",
                           "--shadow drop,dx=1,dy=-1", "--envelope 1:50",
                           "--resolution 16:6 --weld hole"};
  for (const char *effect : effects) {
    const std::string out = outputFile("effect.svg");
    const Outcome r = run("--text '文字' " + kFont + " " + effect + " -o " + out);
    ASSERT_EQ(r.code, 0) << effect << ": " << r.output;
    const Measure g = geometryOf(out);
    EXPECT_GT(std::fabs(g.area) + g.openLength, 0) << effect;
    // Nothing but the shadow reaches far outside the letters' own box.
    EXPECT_GT(g.box[0], plain.box[0] - 1.5) << effect;
    EXPECT_LT(g.box[2], plain.box[2] + 1.5) << effect;
  }
  const std::string grown = outputFile("grown.svg");
  // Round joins on the flattened outline: the extreme points move out by exactly the distance.
  ASSERT_EQ(run("--text '文字' " + kFont + " --offset 0.5,joint=round,nofit -o " + grown).code, 0);
  const Measure g = geometryOf(grown);
  EXPECT_NEAR(g.box[2] - g.box[0], plain.box[2] - plain.box[0] + 1.0, 0.05);
}

TEST(Program, WrongValuesNameTheOptionAndTheRange) {
  const std::string out = outputFile("never.svg");
  struct Case {
    const char *arguments, *mentions;
  } cases[] = {{"--envelope 40:50", "1 to 32"},
               {"--widen -1", "--widen"},
               {"--weld xor", "union|intersect|hole"},
               {"--offset 1.5x", "--offset"},
               {"--dash 0:1", "--dash"},
               {"--shadow drop,option=7", "0 to 5"},
               {"--resolution 2:3", "4 to 128"},
               {"--stripe 0:0", "--stripe"},
               {"--bogus", "--bogus"}};
  for (const Case &c : cases) {
    const Outcome r = run("--text 'あ' " + kFont + " " + c.arguments + " -o " + out);
    EXPECT_EQ(r.code, 2) << c.arguments;
    EXPECT_NE(r.output.find(c.mentions), std::string::npos) << c.arguments << ": " << r.output;
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
    EXPECT_FALSE(std::filesystem::exists(out));
  }
}

TEST(Program, RefusesToWriteOverAFileUnlessForced) {
  const std::string out = outputFile("kept.svg");
  std::ofstream(out) << "keep me";
  const Outcome refused = run("--text 'あ' " + kFont + " -o " + out);
  EXPECT_EQ(refused.code, 2);
  EXPECT_NE(refused.output.find("--force"), std::string::npos);
  std::ifstream in(out);
  std::string kept((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(kept, "keep me");
  EXPECT_EQ(run("--text 'あ' " + kFont + " --force -o " + out).code, 0);
}

TEST(Program, ReportsUnencodableCharactersUnknownFontsAndBrokenSvg) {
  const std::string out = outputFile("bad.svg");
  Outcome r = run("--text 'aβ😀' " + kFont + " -o " + out);
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.output.find("position 3"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("U+1F600"), std::string::npos) << r.output;
  EXPECT_EQ(run("--text 'aβ😀' " + kFont + " --skip-missing -o " + out).code, 0);

  r = run("--text 'a' --font IPAGotic -o " + outputFile("bad2.svg"));
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.output.find("\"IPAGothic\""), std::string::npos) << r.output;

  const std::string broken = outputFile("broken.svg");
  std::ofstream(broken) << "<svg>\n<g>\n<path d='M0 0 L1 0 L0 1 Z'>\n</svg>\n";
  r = run("--svg-in " + broken + " -o " + outputFile("bad3.svg"));
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.output.find("line 4"), std::string::npos) << r.output;
}

TEST(Program, SvgAndJsonInputsReachTheOutput) {
  const std::string svg = outputFile("in.svg");
  std::ofstream(svg) << "<svg xmlns='http://www.w3.org/2000/svg'><rect x='0' y='0' width='10' "
                        "height='5'/><rect x='5' y='2' width='10' height='5'/></svg>";
  const std::string json = outputFile("welded.json");
  ASSERT_EQ(run("--svg-in " + svg + " --weld union -o " + json).code, 0);
  const std::string back = outputFile("welded.svg");
  ASSERT_EQ(run("--json-in " + json + " -o " + back).code, 0);
  const Measure g = geometryOf(back);
  EXPECT_EQ(g.contours, 1);
  EXPECT_NEAR(std::fabs(g.area), 50 + 50 - 15, 1e-3);
}

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
      {"far.json",
       [] { return std::string(R"({"format":"outlina-points","points":[[1,1e30,0,0]]})"); },
       "--json-in", "point 0 lies out of range"},
  };
  for (const BadInput &c : cases) {
    const std::string file = outputFile(c.name), out = outputFile("refused.svg");
    if (c.content) std::ofstream(file, std::ios::binary) << c.content();
    const Outcome r = run(std::string(c.input) + " " + file + " -o " + out);
    EXPECT_EQ(r.code, 2) << c.name << ": " << r.output;
    EXPECT_NE(r.output.find(file), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(c.reason), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find('\n'), r.output.size() - 1) << r.output;
    EXPECT_FALSE(std::filesystem::exists(out)) << c.name;
  }
  const Outcome folder = run("--svg-in " + std::string(OUTLINA_CLI_OUTPUT_DIR) + " -o x.svg");
  EXPECT_EQ(folder.code, 2);
  EXPECT_NE(folder.output.find("is a folder"), std::string::npos) << folder.output;
}

TEST(ProgramRefusal, AFailedEffectSaysWhy) {
  const std::string open = outputFile("open.json"), apart = outputFile("apart.svg");
  std::ofstream(open) << R"({"format":"outlina-points","points":[[1,0,0,0],[2,5,0,0]]})";
  std::ofstream(apart) << svgOf("<rect width='2' height='2'/><rect x='5' width='2' height='2'/>");
  const Outcome noOutline = run("--json-in " + open + " --weld union -o " + outputFile("a.svg"));
  EXPECT_EQ(noOutline.code, 1);
  EXPECT_NE(noOutline.output.find("there is no closed outline to work on"), std::string::npos)
      << noOutline.output;
  const Outcome empty = run("--svg-in " + apart + " --weld intersect -o " + outputFile("b.svg"));
  EXPECT_EQ(empty.code, 1);
  EXPECT_NE(empty.output.find("(--weld intersect) failed: the result is empty"), std::string::npos)
      << empty.output;
}

TEST(ProgramOptions, TextFileVerboseLayersAndPngScale) {
  const std::string text = outputFile("text.txt"), a = outputFile("a.json"), b = outputFile("b.json");
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
  const std::string layered = outputFile("layered.svg");
  ASSERT_EQ(run("--json-in " + a + " --shadow drop,option=1 -o " + layered).code, 0);
  std::stringstream svg;
  svg << std::ifstream(layered).rdbuf();
  EXPECT_NE(svg.str().find("<g id=\"layer2\">\n    <path fill-rule=\"nonzero\" fill=\"black\""),
            std::string::npos);
  EXPECT_NE(svg.str().find("<g id=\"layer1\">\n    <path fill-rule=\"nonzero\" fill=\"#"),
            std::string::npos);

  // A drawing five metres wide still fits the largest image; a chosen scale is kept.
  const std::string wide = outputFile("wide.svg"), png = outputFile("wide.png");
  std::ofstream(wide) << svgOf("<rect width='4998' height='98'/>");
  EXPECT_EQ(run("--svg-in " + wide + " -o " + png).code, 0);
  EXPECT_EQ(run("--svg-in " + wide + " --png-scale 20 -o " + outputFile("too.png")).code, 1);
  EXPECT_EQ(run("--svg-in " + wide + " --png-scale 0.5 -o " + outputFile("half.png")).code, 0);
}
