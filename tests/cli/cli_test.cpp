// End-to-end runs of the outlina program: its exit codes, messages and written geometry.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>

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

std::string slurp(const std::string &file) {
  std::stringstream text;
  text << std::ifstream(file).rdbuf();
  return text.str();
}

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
  const char *effects[] = {"--weld union",
                           "--widen 0.3,cap=round",
                           "--dash 1:0.5",
                           "--stripe 1:0.5",
                           "--shadow drop,dx=1,dy=-1",
                           "--envelope 1:50",
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

// A bad command line ends with exit code 2 and one line naming the problem; nothing is written,
// and a file already there is kept unless --force says otherwise.
TEST(Program, BadCommandLinesNameTheirProblemOnOneLine) {
  const std::string out = outputFile("never.svg"), kept = outputFile("kept.svg");
  std::ofstream(kept) << "keep me";
  const std::string to = " -o " + out;
  const std::pair<std::string, const char *> cases[] = {
      {"--text 'あ' --envelope 40:50" + to, "1 to 32"},
      {"--text 'あ' --weld xor" + to, "union|intersect|hole"},
      {"--text 'あ' --offset 1.5x" + to, "--offset"},
      {"--text 'あ' --bogus" + to, "--bogus"},
      {"--text 'aβ😀'" + to, "(U+1F600) at position 3"},
      {"--text 'あ' -o " + kept, "--force"}};
  for (const auto &[arguments, mentions] : cases) {
    const Outcome r = run(arguments + " " + kFont);
    EXPECT_EQ(r.code, 2) << arguments;
    EXPECT_NE(r.output.find(mentions), std::string::npos) << arguments << ": " << r.output;
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
    EXPECT_FALSE(std::filesystem::exists(out));
  }
  EXPECT_EQ(slurp(kept), "keep me");
  EXPECT_EQ(run("--text 'あ' " + kFont + " --force -o " + kept).code, 0);
  EXPECT_EQ(run("--text 'aβ😀' " + kFont + " --skip-missing -o " + out).code, 0);
  const Outcome misspelt = run("--text 'a' --font IPAGotic -o " + outputFile("bad2.svg"));
  EXPECT_EQ(misspelt.code, 2);
  EXPECT_NE(misspelt.output.find("closest: \"IPAGothic\""), std::string::npos) << misspelt.output;
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
  // Each file is named by the reader that gets it; no content: the file is not made.
  const struct {
    const char *name;
    std::optional<std::string> content;
    const char *reason;
  } cases[] = {
      {"missing.svg", std::nullopt, "No such file or directory"},
      {"empty.svg", "", "is empty"},
      {"unclosed.svg", "<svg>\n<g>\n</svg>", "line 3: not well-formed XML"},
      {"garbage.svg", svgOf("<path d='M0 0 L 1 zz 4'/>"),
       "line 2: <path>: malformed numbers after path command 'L'"},
      {"scaled.svg", svgOf("<g transform='scale(1e300)'><rect width='1' height='1'/></g>"),
       "<rect>: a coordinate beyond"},
      {"zipped.svg", std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00", 8), "is compressed with gzip"},
      {"deep.svg",
       svgOf(repeated("<g>", 10000) + "<rect width='1' height='1'/>" + repeated("</g>", 10000)),
       "<g>: nested deeper than 256 levels"},
      {"loop.svg", svgOf("<g id='a'><use href='#a'/></g>"),
       "<use>: refers to \"#a\", which contains it"},
      {"far.json", R"({"format":"outlina-points","points":[[1,1e30,0,0]]})",
       "point 0 lies out of range"},
  };
  for (const auto &c : cases) {
    const std::string file = outputFile(c.name), out = outputFile("refused.svg");
    if (c.content) std::ofstream(file, std::ios::binary) << *c.content;
    const bool json = file.ends_with(".json");
    const Outcome r = run((json ? "--json-in " : "--svg-in ") + file + " -o " + out);
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

// A drawing of 100,000 small paths is drawn whole; a fault after them is named by its line and
// nothing is written.
TEST(ProgramRefusal, AHundredThousandPathsAreDrawnAndAFaultAfterThemIsNamed) {
  std::string squares;
  for (int i = 0; i < 100000; ++i)
    squares += "<path d='M" + std::to_string(i % 300 * 2) + " " + std::to_string(i / 300 * 2) +
               "h1v1h-1z'/>\n";
  for (const auto &[tail, said, code] :
       {std::tuple{"", ": 500000 points", 0},
        {"<path d='M0 0 L 1 zz'/>", "line 100002: <path>: malformed", 2}}) {
    const std::string file = outputFile("many.svg"), out = outputFile("many_out.svg");
    std::ofstream(file) << svgOf(squares + tail);
    const Outcome r = run("--svg-in " + file + " -o " + out);
    EXPECT_EQ(r.code, code) << r.output;
    EXPECT_NE(r.output.find(said), std::string::npos) << r.output;
    EXPECT_EQ(std::filesystem::exists(out), code == 0);
  }
}

TEST(ProgramRefusal, AFailedEffectSaysWhy) {
  const std::string open = outputFile("open.json"), apart = outputFile("apart.svg");
  std::ofstream(open) << R"({"format":"outlina-points","points":[[1,0,0,0],[2,5,0,0]]})";
  std::ofstream(apart) << svgOf("<rect width='2' height='2'/><rect x='5' width='2' height='2'/>");
  for (const auto &[arguments, reason] :
       {std::pair{"--json-in " + open + " --weld union", "there is no closed outline to work on"},
        {"--svg-in " + apart + " --weld intersect",
         "(--weld intersect) failed: the result is empty"}}) {
    const Outcome r = run(arguments + " -o " + outputFile("failed.svg"));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.output.find(reason), std::string::npos) << r.output;
  }
}

TEST(ProgramOptions, TextFileAndPngScale) {
  const std::string text = outputFile("text.txt"), a = outputFile("a.json"),
                    b = outputFile("b.json");
  std::ofstream(text) << "文字\n";
  ASSERT_EQ(run("--text 文字 --font IPAGothic -o " + a).code, 0);
  ASSERT_EQ(run("--text-file " + text + " --font IPAGothic -o " + b).code, 0);
  EXPECT_EQ(slurp(a), slurp(b));

  // A drawing five metres wide still fits the largest image; a chosen scale is kept.
  const std::string wide = outputFile("wide.svg"), png = outputFile("wide.png");
  std::ofstream(wide) << svgOf("<rect width='4998' height='98'/>");
  EXPECT_EQ(run("--svg-in " + wide + " -o " + png).code, 0);
  EXPECT_EQ(run("--svg-in " + wide + " --png-scale 20 -o " + outputFile("too.png")).code, 1);
  EXPECT_EQ(run("--svg-in " + wide + " --png-scale 0.5 -o " + outputFile("half.png")).code, 0);
}
