// A write that fails leaves the output's folder as it was: no partial file, an old file intact.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

TEST(ProgramOutput, AWriteThatFailsHalfwayLeavesTheFolderAsItWas) {
  const fs::path folder = fs::path(OUTLINA_CLI_OUTPUT_DIR) / "failed_write";
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::ofstream in(folder / "in.svg");
  in << "<svg xmlns='http://www.w3.org/2000/svg'>";
  for (int i = 0; i < 100; ++i) in << "<rect x='" << 2 * i << "' width='1' height='1'/>";
  in << "</svg>" << std::flush;
  std::ofstream(folder / "old.svg") << "old";
  // Files limited to one block, with the signal that would end the program ignored, fail the
  // write of some 4 KB halfway.
  const std::string command = "trap '' XFSZ; ulimit -f 1; " + std::string(OUTLINA_PROGRAM) +
                              " --svg-in " + (folder / "in.svg").string() + " --force -o " +
                              (folder / "old.svg").string() + " > /dev/null 2>&1";
  EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 1);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
  EXPECT_EQ(fs::file_size(folder / "old.svg"), 3u);
}
