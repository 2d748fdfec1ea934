// The outlina program on a drawing of 100,000 small paths: drawn whole, or refused with the
// line of a fault that follows them, writing nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

TEST(ProgramLargeInput, HundredThousandPathsAreDrawnAndALateFaultWritesNothing) {
  std::string squares;
  for (int i = 0; i < 100000; ++i)
    squares += "<path d='M" + std::to_string(i % 300 * 2) + " " + std::to_string(i / 300 * 2) +
               "h1v1h-1z'/>\n";
  struct Case {
    const char *name, *tail, *said;
    int code;
  };
  const Case cases[] = {
      {"squares.svg", "", ": 500000 points", 0},
      {"late_garbage.svg", "<path d='M0 0 L 1 zz'/>\n", "line 100002: <path>: malformed", 2},
      {"late_unclosed.svg", "<g>\n", "line 100003: not well-formed XML", 2}};
  for (const auto &c : cases) {
    const std::string file = std::string(OUTLINA_CLI_OUTPUT_DIR) + "/" + c.name,
                      out = file + ".out.svg";
    std::ofstream(file) << "<svg xmlns='http://www.w3.org/2000/svg'>\n"
                        << squares << c.tail << "</svg>\n";
    const std::string run = std::string(OUTLINA_PROGRAM) + " --svg-in " + file + " -o " + out;
    FILE *program = popen((run + " --force 2>&1").c_str(), "r");
    std::string said;
    for (int ch; (ch = std::fgetc(program)) != EOF;) said += static_cast<char>(ch);
    EXPECT_EQ(WEXITSTATUS(pclose(program)), c.code) << said;
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
    EXPECT_NE(said.find(c.name), std::string::npos) << said;
    EXPECT_EQ(said.find('\n') + 1, said.size()) << said;
    EXPECT_EQ(std::filesystem::exists(out), c.code == 0) << c.name;
  }
}
