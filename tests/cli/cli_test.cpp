// End-to-end runs of the outlina program: its exit codes, messages and written geometry.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

}  // namespace

TEST(Program, HelpListsEveryOptionWithAnExample) {
  const Outcome r = run("--help");
  EXPECT_EQ(r.code, 0);
  for (const char *option : {"--text", "--font", "--svg-in", "--json-in", "--vertical", "--size",
                             "--weld", "--offset", "--widen", "--dash", "--stripe", "--shadow",
                             "--envelope", "--resolution", "--force", "--skip-missing", "Examples"})
    EXPECT_NE(r.output.find(option), std::string::npos) << option;
}

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
