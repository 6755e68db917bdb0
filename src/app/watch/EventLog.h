#pragma once

#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>

namespace tessarin::app::watch {

// Something that happened to a run, worth telling whoever watches it from afar.
struct RunEvent {
  QDateTime at;
  QString name;  // one of EventLog::kNames
  QString text;  // what the status line said
};

// The last events of the console, oldest first, for the served page and the alert command.
class EventLog {
 public:
  static constexpr int kKept = 1000;
  // Every event the console records, by name.
  static inline const std::array<QString, 13> kNames = {
      "started",  "stopped",           "sample-limit",       "port-lost",       "resumed",
      "silence",  "file-not-written",  "file-written-again", "filter-unlocked", "mask-failed",
      "mask-met", "stability-changed", "stability-settled"};

  void record(RunEvent event);
  const std::deque<RunEvent>& events() const { return events_; }
  // Counts every event ever recorded, those no longer kept too.
  std::uint64_t recorded() const { return recorded_; }
  // How many events of each name were recorded, those no longer kept too.
  const std::map<QString, std::uint64_t>& counts() const { return counts_; }
  // Called for every event as it is recorded.
  std::function<void(const RunEvent&)> onEvent;

 private:
  std::deque<RunEvent> events_;
  std::uint64_t recorded_ = 0;
  std::map<QString, std::uint64_t> counts_;
};

}  // namespace tessarin::app::watch
