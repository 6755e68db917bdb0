#include "commands/ProgressLine.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

namespace tessarin::analyze::commands {

namespace {

using Clock = std::chrono::steady_clock;
using Stage = analysis::AnalysisProgress::Stage;

// Work done sooner than this shows no line at all.
constexpr auto kQuietFor = std::chrono::seconds(2);
constexpr auto kRefresh = std::chrono::milliseconds(250);
constexpr std::int64_t kMebibyte = 1 << 20;
constexpr std::string_view kProgram = "tessarin-analyze: ";

std::string stageText(const analysis::AnalysisProgress::Reading& at) {
  switch (at.stage) {
    case Stage::Reading:
      return "reading, " + std::to_string(at.done / kMebibyte) + " of " +
             std::to_string(at.total / kMebibyte) + " MiB";
    case Stage::Estimates:
      return "estimates, factor " + std::to_string(at.done) + " of " + std::to_string(at.total);
    case Stage::NoiseReadings:
      return "noise types, factor " + std::to_string(at.done) + " of " + std::to_string(at.total);
    case Stage::Intervals:
      return "intervals, statistic " + std::to_string(at.done) + " of " + std::to_string(at.total);
    case Stage::Idle:
      break;
  }
  return "finishing";
}

// "about 12 s left" from the pace of the stage so far; empty until there is a pace to go by.
std::string timeLeft(const analysis::AnalysisProgress::Reading& at, Clock::duration spent) {
  if (at.done <= 0 || at.done >= at.total) return {};
  const double seconds = std::chrono::duration<double>(spent).count() *
                         static_cast<double>(at.total - at.done) / static_cast<double>(at.done);
  return ", about " + std::to_string(static_cast<long long>(seconds + 0.5)) + " s left";
}

// The terminal's width less one column: a line that wrapped could not be rewritten in place.
std::size_t room() {
  winsize size{};
  const bool known = ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1;
  return known ? std::size_t{size.ws_col} - 1 : 79;
}

}  // namespace

ProgressLine::ProgressLine(std::string what, const analysis::AnalysisProgress& progress) {
  if (isatty(STDERR_FILENO) == 0) return;
  ticker_ = std::jthread([what = std::move(what), &progress](std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any wake;
    const Clock::time_point start = Clock::now();
    Clock::time_point stageStart = start;
    Stage stage = Stage::Idle;
    bool shown = false;
    std::unique_lock lock(mutex);
    while (true) {
      // Woken early only when the work is done: then the line is cleared, not rewritten.
      wake.wait_for(lock, stop, kRefresh, [] { return false; });
      if (stop.stop_requested()) break;
      const analysis::AnalysisProgress::Reading at = progress.read();
      const Clock::time_point now = Clock::now();
      if (at.stage != stage) {
        stage = at.stage;
        stageStart = now;
      }
      if (now - start < kQuietFor) continue;
      // What is being done and how far matter more than the program's name and the file's.
      std::string line = what + ": " + stageText(at) + timeLeft(at, now - stageStart);
      if (line.size() + kProgram.size() <= room())
        line.insert(0, kProgram);
      else if (line.size() > room())
        line = line.substr(line.size() - room());
      std::fprintf(stderr, "\r%s\033[K", line.c_str());
      std::fflush(stderr);
      shown = true;
    }
    if (shown) {
      std::fputs("\r\033[K", stderr);
      std::fflush(stderr);
    }
  });
}

ProgressLine::~ProgressLine() {
  if (ticker_.joinable()) {
    ticker_.request_stop();
    ticker_.join();
  }
}

}  // namespace tessarin::analyze::commands
