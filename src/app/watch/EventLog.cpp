#include "app/watch/EventLog.h"

namespace tessarin::app::watch {

void EventLog::record(RunEvent event) {
  if (int(events_.size()) == kKept) events_.pop_front();
  events_.push_back(std::move(event));
  ++recorded_;
  ++counts_[events_.back().name];
  if (onEvent) onEvent(events_.back());
}

}  // namespace tessarin::app::watch
