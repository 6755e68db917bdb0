#include "run/Resumption.h"

namespace tessarin::run {

namespace {

using namespace std::chrono_literals;

// A USB adapter that has gone usually comes back within seconds, under the same name.
constexpr Resumption::Milliseconds kReopenInterval = 2s;
// The whole initialization takes some 25 s at most; an instrument that has not finished it by then
// is not answering properly.
constexpr Resumption::Milliseconds kInitializationLimit = 30s;
constexpr Resumption::Milliseconds kRetryDelay = 30s;
// Sample lines of the last refinement stage may still be on the line when it ends; the run's
// first reading must not be one of them.
constexpr Resumption::Milliseconds kSettleTime = 1s;

}  // namespace

void Resumption::lose(Milliseconds now, const QString& clockTime, int samples,
                      const QString& what) {
  active_ = true;
  samplesAtLoss_ = samples;
  what_ = what;
  lastLoss_ = clockTime;
  reopenLater(now);
}

bool Resumption::reopenDue(Milliseconds now) {
  if (step_ != Step::Reopening || now < due_) return false;
  ++attempts_;
  due_ = now + kReopenInterval;
  return true;
}

void Resumption::initializing(Milliseconds now) {
  step_ = Step::Initializing;
  due_ = now + kInitializationLimit;
}

void Resumption::retryLater(Milliseconds now) {
  step_ = Step::WaitingToRetry;
  due_ = now + kRetryDelay;
}

void Resumption::tuned(Milliseconds now) {
  step_ = Step::Tuned;
  due_ = now + kSettleTime;
}

void Resumption::reopenLater(Milliseconds now) {
  step_ = Step::Reopening;
  attempts_ = 0;
  due_ = now + kReopenInterval;
}

void Resumption::resumed() {
  active_ = false;
  ++resumes_;
}

QString Resumption::reconnectingText() const {
  const QString attempt = attempts_ > 0 ? QString(" (attempt %1)").arg(attempts_) : QString();
  return QString("%1 at sample %2; reconnecting%3...").arg(what_).arg(samplesAtLoss_).arg(attempt);
}

QString Resumption::resumedNote() const {
  if (resumes_ == 0) return {};
  return QString(" (resumed %1 %2, last loss %3)")
      .arg(resumes_)
      .arg(resumes_ == 1 ? "time" : "times")
      .arg(lastLoss_);
}

}  // namespace tessarin::run
