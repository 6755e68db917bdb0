#pragma once

#include <functional>

namespace tessarin::platform {

// A periodic timer with a fixed interval, started and stopped by `setEnabled`.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void setEnabled(bool enabled) = 0;
  virtual bool enabled() const = 0;
  std::function<void()> onTick;
};

}  // namespace tessarin::platform
