#pragma once

#include <functional>

namespace tessarin::platform {

// Runs work after the current event has been handled to its end. A handler that must ask the
// operator something (a modal box runs an event loop of its own) posts the question here, so
// that no other handler runs in the middle of its work.
class TaskQueue {
 public:
  virtual ~TaskQueue() = default;
  virtual void post(std::function<void()> task) = 0;
};

}  // namespace tessarin::platform
