#pragma once

#include <QDateTime>
#include <QString>
#include <chrono>

namespace tessarin::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Today's date and the current time, formatted the way the operator's system shows them.
  virtual QString shortDate() const = 0;
  virtual QString time() const = 0;
  // The local date and time, for the times a watcher of the run is told.
  virtual QDateTime dateTime() const = 0;
  // A steady time for measuring intervals; its origin means nothing.
  virtual std::chrono::milliseconds sinceStart() const = 0;
};

}  // namespace tessarin::platform
