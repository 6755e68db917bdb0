#pragma once

#include <thread>

#include "analysis/AnalysisProgress.h"

namespace tessarin::analyze::commands {

// A line on standard error that tells how far a long piece of work has come: what it is doing,
// how far, and about how long it has left. It shows only once the work has taken about two
// seconds and only where standard error is a terminal, so that a pipeline or a test sees exactly
// what it saw before; it is rewritten a few times a second and cleared when the object goes.
class ProgressLine {
 public:
  // `what` says what is being worked on ("osc.DAT: run 2"); `progress` counts the steps.
  ProgressLine(std::string what, const analysis::AnalysisProgress& progress);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

 private:
  std::jthread ticker_;
};

}  // namespace tessarin::analyze::commands
