#pragma once

#include <QString>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>

#include "platform/CommandRunner.h"

namespace tessarin::app::watch {

// Hands every event of a run (run started, stopped, port lost, ...) to the operator's command, as
// `program name text`. One command runs at a time; events that come meanwhile wait their turn in
// order. Nothing here blocks or throws, whatever the command does.
//
// A failing command is reported once, "Event command failed: <reason>", and not again until it
// has succeeded once more, so that a broken mail script says so once on the status line instead
// of once per event.
//
// A command too slow for the events leaves at most kMaxWaiting of them waiting; beyond that the
// oldest waiting event is dropped. Dropping is reported once per backlog, when the run during
// which the first event was dropped ends: "Event command is falling behind: 5 waiting events
// dropped" (added to the failure report instead, "... (5 waiting events dropped)", when that run
// fails and a failure report is due). The backlog is over once a run ends with no event waiting;
// later drops start a new one.
class EventHook {
 public:
  static constexpr int kMaxWaiting = 100;
  static constexpr std::chrono::seconds kTimeLimit{30};

  EventHook(platform::CommandRunner& runner, QString program,
            std::function<void(const QString& message)> reportFailure);
  EventHook(const EventHook&) = delete;
  EventHook& operator=(const EventHook&) = delete;

  void notify(const QString& name, const QString& text);

 private:
  struct Event {
    QString name, text;
  };

  void startNext();
  void ended(const platform::Result<>& outcome);

  platform::CommandRunner& runner_;
  QString program_;
  std::function<void(const QString&)> reportFailure_;
  std::deque<Event> waiting_;
  bool running_ = false;
  bool failing_ = false;       // a failure was reported and the command has not succeeded since
  int dropped_ = 0;            // events dropped in this backlog, not yet reported
  bool dropReported_ = false;  // this backlog's drops have been reported
  // Lets a command that ends after the hook has gone find it gone.
  std::shared_ptr<EventHook*> self_ = std::make_shared<EventHook*>(this);
};

}  // namespace tessarin::app::watch
