// The command-line program reading a drawing of 100,000 small squares, measured as a user meets
// it: the wall time of the whole run and the peak resident memory of its process, beside the
// same run over a drawing of one square, whose peak is what the program takes before any drawing.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int kSquares = 100000;
constexpr int kSquaresPerRow = 400;

// Unit squares two units apart, one path element each, as a drawing program writes them.
std::string drawing(int squares) {
  std::string text = "<svg xmlns='http://www.w3.org/2000/svg'>\n";
  for (int i = 0; i < squares; ++i)
    text += "<path d='M " + std::to_string(2 * (i % kSquaresPerRow)) + " " +
            std::to_string(2 * (i / kSquaresPerRow)) + " h 1 v 1 h-1 z'/>\n";
  return text + "</svg>\n";
}

std::string written(const std::string &name, const std::string &text) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / name;
  std::ofstream(file, std::ios::binary) << text;
  return file.string();
}

struct Run {
  bool ok;
  double seconds;
  double peakBytes;
};

// The peak resident memory of the process, in bytes, from /proc; 0 when it cannot be read.
double peakOfProcess(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) * 1024.0;
  return 0.0;
}

// Runs the program over the drawing, writing its outline as JSON. The child is traced so that
// its peak can be read as it exits: the resource usage that wait reports would also count the
// memory of this process, which the child shares until it starts the program.
Run runProgram(const std::string &drawingFile, const std::string &outFile) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    execl(OUTLINA_PROGRAM, OUTLINA_PROGRAM, "--svg-in", drawingFile.c_str(), "-o", outFile.c_str(),
          "--force", static_cast<char *>(nullptr));
    _exit(127);
  }
  Run run{false, 0.0, 0.0};
  int status = 0;
  // Stopped at the start of the program: ask to stop once more as it exits.
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFSTOPPED(status)) return run;
  ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACEEXIT);
  ptrace(PTRACE_CONT, child, nullptr, nullptr);
  while (waitpid(child, &status, 0) == child && WIFSTOPPED(status)) {
    // Any other stop is a signal for the program, which it must still receive.
    int signal = WSTOPSIG(status);
    if (status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
      run.peakBytes = peakOfProcess(child);
      signal = 0;
    }
    ptrace(PTRACE_CONT, child, nullptr, signal);
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  run.seconds = took.count();
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && run.peakBytes > 0;
  return run;
}

void ProgramReadsManySquares(benchmark::State &state) {
  const std::string text = drawing(kSquares);
  const std::string many = written("outlina_bench_squares.svg", text);
  const std::string one = written("outlina_bench_square.svg", drawing(1));
  const std::string out =
      (std::filesystem::temp_directory_path() / "outlina_bench_squares.json").string();
  double peak = 0.0, basePeak = 0.0;
  for (auto _ : state) {
    const Run run = runProgram(many, out), base = runProgram(one, out);
    if (!run.ok || !base.ok) {
      state.SkipWithError("the program failed");
      break;
    }
    state.SetIterationTime(run.seconds);
    peak = std::max(peak, run.peakBytes);
    basePeak = std::max(basePeak, base.peakBytes);
  }
  const double fileBytes = static_cast<double>(text.size());
  state.counters["file_mb"] = fileBytes / 1e6;
  state.counters["peak_mb"] = peak / 1e6;
  state.counters["one_square_peak_mb"] = basePeak / 1e6;
  // The memory the drawing itself costs, against the size of its file.
  state.counters["drawing_peak_per_file_byte"] = (peak - basePeak) / fileBytes;
  for (const std::string &f : {many, one, out}) std::filesystem::remove(f);
}
BENCHMARK(ProgramReadsManySquares)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
