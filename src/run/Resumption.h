#pragma once

#include <QString>
#include <chrono>

namespace tessarin::run {

// A run that lost its instrument and is being brought back: the port is reopened every 2 s, the
// instrument initialized again with the lost run's choices (again 30 s after a failed or
// unanswered attempt), and a second after it is tuned a new run starts on the same data file. It
// also keeps, for the operator, how often the runs were resumed and when the last loss was.
class Resumption {
 public:
  using Milliseconds = std::chrono::milliseconds;
  enum class Step { Reopening, Initializing, WaitingToRetry, Tuned };

  // The run was lost at `now` (`clockTime` as the operator's clock shows it) after `samples`
  // samples, because of `what` ("Port lost", "No samples for 60 s").
  void lose(Milliseconds now, const QString& clockTime, int samples, const QString& what);
  bool active() const { return active_; }
  Step step() const { return step_; }

  // Reopening: whether a new attempt to open the port is due at `now`; it is then counted.
  bool reopenDue(Milliseconds now);
  // The port is open: the initialization begins at `now` and is due to finish within 30 s.
  void initializing(Milliseconds now);
  // The initialization failed at `now`: it is due again 30 s later.
  void retryLater(Milliseconds now);
  // The initialization has tuned the instrument at `now`: the new run is due once the lines still
  // on their way from its last stage have come in.
  void tuned(Milliseconds now);
  // What the current step waits for is due at `now`: the initialization's time is up, its retry
  // or the new run may begin.
  bool due(Milliseconds now) const { return now >= due_; }
  // The port failed again before the run was back: reopening starts anew.
  void reopenLater(Milliseconds now);

  // The new run has started.
  void resumed();
  // The operator stopped the resumption.
  void abandon() { active_ = false; }

  // "Port lost at sample 41230; reconnecting (attempt 3)...".
  QString reconnectingText() const;
  // Nothing before the first resumption; then " (resumed 2 times, last loss 03:12:44)", for the
  // status line of a run that is on.
  QString resumedNote() const;
  // How often the runs were resumed.
  int resumes() const { return resumes_; }

 private:
  bool active_ = false;
  Step step_ = Step::Reopening;
  Milliseconds due_{0};  // when the current step's next move is due
  int attempts_ = 0;
  int samplesAtLoss_ = 0;
  QString what_;
  int resumes_ = 0;
  QString lastLoss_;
};

}  // namespace tessarin::run
