// What reading an archive costs: a one-column file of 1e6 and of 1e7 white-FM phase values is
// written to /tmp, then each is read by awk, as the yardstick of a program that only streams the
// file, and by each tessarin-analyze given (the one built beside this program when none is):
// reading only (--stat mtie --m 1, the cheapest statistic at one factor) and the full run of every
// statistic at the octave factors, with intervals and with the values alone (--ci none). Prints
// the wall time, the processor time of all threads and the peak resident memory of each, and the
// reader's own time in this process. A program that refuses a run (one built before --ci none)
// has "refused" in its row.
// With --1e8 first, a file of 1e8 points (1.8 GB) follows, the full run once, with intervals.
// Run: ./archive_read_benchmark [--1e8] [TESSARIN-ANALYZE...] (a RelWithDebInfo build, an idle
// machine).

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QString>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "records/ColumnReader.h"

namespace {

constexpr const char* kEveryStatistic =
    "adev,console-adev,oadev,mdev,tdev,hdev,ohdev,totdev,mtie,tierms";

struct Cost {
  double seconds = 0;
  double cpuSeconds = 0;  // user and system, every thread: on a shared machine the steadier figure
  double peakMiB = 0;
  bool succeeded = true;
};

double secondsOf(timeval time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// White frequency noise of 1e-11 at tau0 1 s, integrated to phase, one value a line as a counter's
// logger writes it.
std::string writePhaseFile(std::int64_t points) {
  const std::string path = "/tmp/archive-read-" + std::to_string(points) + ".txt";
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return {};
  std::mt19937_64 generator(11);
  std::normal_distribution<double> noise(0, 1e-11);
  std::vector<char> block;
  double phase = 0;
  for (std::int64_t k = 0; k < points; ++k) {
    phase += noise(generator);
    char text[32];
    const auto written =
        std::to_chars(text, text + sizeof text, phase, std::chars_format::scientific, 10);
    block.insert(block.end(), text, written.ptr);
    block.push_back('\n');
    if (block.size() > (std::size_t{1} << 20)) {
      std::fwrite(block.data(), 1, block.size(), file);
      block.clear();
    }
  }
  std::fwrite(block.data(), 1, block.size(), file);
  std::fclose(file);
  return path;
}

// Runs the program to its end, its output to /dev/null.
Cost costOf(const std::vector<std::string>& command) {
  std::vector<char*> arguments;
  for (const std::string& word : command) arguments.push_back(const_cast<char*>(word.c_str()));
  arguments.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int nothing = open("/dev/null", O_WRONLY);
    dup2(nothing, STDOUT_FILENO);
    dup2(nothing, STDERR_FILENO);
    execvp(arguments[0], arguments.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const double seconds = secondsSince(start);
  const bool succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return {seconds, secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime),
          static_cast<double>(usage.ru_maxrss) / 1024, succeeded};
}

// The best of three runs: the machine is shared, and the least disturbed run is the program's own
// cost. Peak memory hardly varies.
Cost bestOf(const std::vector<std::string>& command) {
  Cost best = costOf(command);
  for (int k = 1; k < 3; ++k) {
    const Cost again = costOf(command);
    if (again.seconds < best.seconds) best = again;
  }
  return best;
}

void printRow(const char* points, const std::string& what, const std::string& program, Cost cost) {
  if (cost.succeeded)
    std::printf("%-7s %-34s %-8s %8.2f %8.2f %10.1f\n", points, what.c_str(), program.c_str(),
                cost.seconds, cost.cpuSeconds, cost.peakMiB);
  else
    std::printf("%-7s %-34s %-8s %8s\n", points, what.c_str(), program.c_str(), "refused");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> analysers(argv + 1, argv + argc);
  const bool hundredMillion = !analysers.empty() && analysers.front() == "--1e8";
  if (hundredMillion) analysers.erase(analysers.begin());
  if (analysers.empty()) analysers.emplace_back(ANALYZE_EXE);
  for (std::size_t k = 0; k < analysers.size(); ++k)
    std::printf("program %c: %s\n", static_cast<char>('A' + k), analysers[k].c_str());
  std::printf("%-7s %-34s %-8s %8s %8s %10s\n", "points", "run", "program", "wall/s", "cpu/s",
              "peak/MiB");
  for (const std::int64_t points : {std::int64_t{1000000}, std::int64_t{10000000}}) {
    const std::string path = writePhaseFile(points);
    if (path.empty()) {
      std::fprintf(stderr, "cannot write the phase file in /tmp\n");
      return 1;
    }
    const char* label = points == 1000000 ? "1e6" : "1e7";
    printRow(label, "sum of the column", "awk", bestOf({"awk", "{s+=$1} END{print s}", path}));
    for (std::size_t k = 0; k < analysers.size(); ++k) {
      const std::string& analyser = analysers[k];
      const std::string name(1, static_cast<char>('A' + k));
      printRow(label, "read only: --stat mtie --m 1", name,
               bestOf({analyser, "--phase", "--tau0", "1", "--stat", "mtie", "--m", "1", path}));
      // The long series' full runs take seconds each: once is enough there.
      const auto cost = points == 1000000 ? bestOf : costOf;
      printRow(label, "every statistic, octave factors", name,
               cost({analyser, "--phase", "--tau0", "1", "--stat", kEveryStatistic, path}));
      printRow(label, "the same, values only: --ci none", name,
               cost({analyser, "--phase", "--tau0", "1", "--ci", "none", "--stat", kEveryStatistic,
                     path}));
    }
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t processorStart = std::clock();
    const auto file = tessarin::records::readColumnFile(QString::fromStdString(path),
                                                        tessarin::run::Quantity::Phase, 1);
    const double seconds = secondsSince(start);
    const std::size_t samples = file ? file.value().runs.front().samples.size() : 0;
    const double processorSeconds =
        static_cast<double>(std::clock() - processorStart) / CLOCKS_PER_SEC;
    printRow(
        label, "readColumnFile in this process", "",
        {seconds, processorSeconds, static_cast<double>(samples * sizeof(double)) / (1 << 20)});
  }
  std::printf("(for readColumnFile the last column is the series it keeps, 8 bytes a point)\n");
  if (hundredMillion) {
    const std::string path = writePhaseFile(100000000);
    printRow("1e8", "sum of the column", "awk", costOf({"awk", "{s+=$1} END{print s}", path}));
    for (std::size_t k = 0; k < analysers.size(); ++k)
      printRow("1e8", "every statistic, octave factors", std::string(1, static_cast<char>('A' + k)),
               costOf({analysers[k], "--phase", "--tau0", "1", "--stat", kEveryStatistic, path}));
    std::remove(path.c_str());
  }
  return 0;
}
