#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>

namespace tessarin::app::watch {

// Something that happened to a run, worth telling whoever watches it from afar.
struct RunEvent {
  QDateTime at;
  QString name;  // started, stopped, sample-limit, port-lost, resumed, silence,
                 // file-not-written, file-written-again, filter-unlocked
  QString text;  // what the status line said
};

// The last events of the console, oldest first, for the served page and the alert command.
class EventLog {
 public:
  static constexpr int kKept = 1000;

  void record(RunEvent event);
  const std::deque<RunEvent>& events() const { return events_; }
  // Counts every event ever recorded, those no longer kept too.
  std::uint64_t recorded() const { return recorded_; }
  // Called for every event as it is recorded.
  std::function<void(const RunEvent&)> onEvent;

 private:
  std::deque<RunEvent> events_;
  std::uint64_t recorded_ = 0;
};

}  // namespace tessarin::app::watch
