#pragma once

// What a program run costs, for the benchmarks that run the analyser as the operator does: wall
// and processor time and peak memory, and the phase file they feed it.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

struct Cost {
  double seconds = 0;
  double cpuSeconds = 0;  // user and system, every thread: on a shared machine the steadier figure
  double peakMiB = 0;
  bool succeeded = true;
};

inline double secondsOf(timeval time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) * 1e-6;
}

inline double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// White frequency noise of 1e-11 at tau0 1 s, integrated to phase, one value a line as a counter's
// logger writes it.
inline std::string writePhaseFile(std::int64_t points) {
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
inline Cost costOf(const std::vector<std::string>& command) {
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
inline Cost bestOf(const std::vector<std::string>& command) {
  Cost best = costOf(command);
  for (int k = 1; k < 3; ++k) {
    const Cost again = costOf(command);
    if (again.seconds < best.seconds) best = again;
  }
  return best;
}

}  // namespace
