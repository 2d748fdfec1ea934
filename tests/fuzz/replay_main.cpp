// Outside the fuzz build every target links this main instead of libFuzzer: it feeds the
// target each file named on the command line, and every file of each folder named, so that
// ctest replays the kept corpus and the inputs of past findings. A missing folder is skipped.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv) {
  namespace fs = std::filesystem;
  int replayed = 0;
  for (int i = 1; i < argc; ++i) {
    std::vector<fs::path> files;
    if (fs::is_directory(argv[i])) {
      for (const fs::directory_entry &entry : fs::directory_iterator(argv[i]))
        files.push_back(entry.path());
      std::sort(files.begin(), files.end());
    } else if (fs::exists(argv[i])) {
      files.emplace_back(argv[i]);
    }
    for (const fs::path &file : files) {
      std::ifstream in(file, std::ios::binary);
      const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
      std::printf("%s\n", file.c_str());
      std::fflush(stdout);
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++replayed;
    }
  }
  std::printf("%d inputs replayed\n", replayed);
  return 0;
}
