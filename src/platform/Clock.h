#pragma once

#include <QString>

// Today's date and the current time, formatted the way the operator's system shows them.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual QString shortDate() const = 0;
  virtual QString time() const = 0;
};
