#pragma once

#include <QString>
#include <functional>
#include <string_view>

#include "platform/SerialPort.h"

namespace tessarin::link {

// The command side of the line to the instrument.
class InstrumentLink {
 public:
  explicit InstrumentLink(platform::SerialPort& port) : port_(port) {}

  // Writes one command followed by CR LF in one write. A command that cannot be written is
  // reported through `onFailure`; once the link is shut nothing more is written.
  void send(std::string_view command);
  // After the last command of the program ("MK0" on quitting).
  void shut() { shut_ = true; }

  std::function<void(const QString& reason)> onFailure;

 private:
  platform::SerialPort& port_;
  bool shut_ = false;
};

}  // namespace tessarin::link
