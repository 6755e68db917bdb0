#include "app/watch/EventHook.h"

#include <utility>

namespace tessarin::app::watch {

EventHook::EventHook(platform::CommandRunner& runner, QString program,
                     std::function<void(const QString& message)> reportFailure)
    : runner_(runner), program_(std::move(program)), reportFailure_(std::move(reportFailure)) {}

void EventHook::notify(const QString& name, const QString& text) {
  if (static_cast<int>(waiting_.size()) >= kMaxWaiting) {
    waiting_.pop_front();
    ++dropped_;
  }
  waiting_.push_back({name, text});
  if (!running_) startNext();
}

void EventHook::startNext() {
  if (waiting_.empty()) return;
  const Event event = std::move(waiting_.front());
  waiting_.pop_front();
  running_ = true;
  std::weak_ptr<EventHook*> self = self_;
  runner_.start(program_, {event.name, event.text}, kTimeLimit, [self](platform::Result<> outcome) {
    if (const auto hook = self.lock()) (*hook)->ended(outcome);
  });
}

void EventHook::ended(const platform::Result<>& outcome) {
  running_ = false;
  const bool failureDue = !outcome && !failing_;
  const bool dropDue = dropped_ > 0 && !dropReported_;
  if (outcome) failing_ = false;
  QString message;
  if (dropDue) {
    const QString drops = QString::number(dropped_) +
                          (dropped_ == 1 ? " waiting event dropped" : " waiting events dropped");
    message = failureDue ? "Event command failed: " + outcome.reason() + " (" + drops + ")"
                         : "Event command is falling behind: " + drops;
    dropReported_ = true;
    dropped_ = 0;
  } else if (failureDue) {
    message = "Event command failed: " + outcome.reason();
  }
  if (!outcome) failing_ = true;
  if (waiting_.empty()) {  // caught up: the backlog is over
    dropped_ = 0;
    dropReported_ = false;
  }
  // The report may bring a new event with it; that one has started the next run already.
  if (!message.isEmpty() && reportFailure_) reportFailure_(message);
  if (!running_) startNext();
}

}  // namespace tessarin::app::watch
