#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "commands/ProgressLine.h"

namespace tessarin::analyze::commands {
namespace {

using Stage = analysis::AnalysisProgress::Stage;

// Runs `work` with standard error on a terminal (a pseudo-terminal) and gives what it showed.
template <class Work>
std::string onTerminal(Work work) {
  int terminal = -1;
  int shown = -1;
  if (openpty(&shown, &terminal, nullptr, nullptr, nullptr) != 0) return "no pseudo-terminal";
  const int standardError = dup(STDERR_FILENO);
  dup2(terminal, STDERR_FILENO);
  work();
  dup2(standardError, STDERR_FILENO);
  close(standardError);
  close(terminal);
  std::string text;
  char buffer[4096];
  for (ssize_t got; (got = read(shown, buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<std::size_t>(got));
  close(shown);
  return text;
}

TEST(ProgressLine, ShowsTheStageAndTimeLeftOnlyOnceWorkTakesLongAndClearsItsLine) {
  analysis::AnalysisProgress progress;
  const std::string brief = onTerminal([&] {
    const ProgressLine line("osc.DAT", progress);
    progress.begin(Stage::Estimates, 10);
    progress.advance(5);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  });
  EXPECT_EQ(brief, "");

  const std::string long_ = onTerminal([&] {
    const ProgressLine line("osc.DAT: run 2", progress);
    progress.begin(Stage::Estimates, 40);
    for (int k = 0; k < 10; ++k) {
      progress.advance();
      std::this_thread::sleep_for(std::chrono::milliseconds(260));
    }
  });
  EXPECT_NE(long_.find("\rtessarin-analyze: osc.DAT: run 2: estimates, factor "), std::string::npos)
      << long_;
  EXPECT_NE(long_.find(" of 40, about "), std::string::npos) << long_;
  EXPECT_NE(long_.find(" s left"), std::string::npos) << long_;
  EXPECT_EQ(long_.substr(long_.size() - 4), "\r\033[K") << long_;
}

}  // namespace
}  // namespace tessarin::analyze::commands
