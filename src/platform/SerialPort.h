#pragma once

#include <QString>
#include <functional>
#include <string_view>

#include "platform/Result.h"

namespace tessarin::platform {

// The RS-232 line to the instrument: 9600 baud, 8 data bits, no parity, 1 stop bit.
class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens Com `commPort` (1 to 4); a failure names the device and the reason.
  virtual Result<> open(int commPort) = 0;
  virtual bool isOpen() const = 0;
  // Lets the device go; nothing happens when the port is closed.
  virtual void close() = 0;
  // Writes `bytes` in one write.
  virtual Result<> write(std::string_view bytes) = 0;

  // Every received character, one call per character, in arrival order.
  std::function<void(char)> onReceived;
  // The port failed while open (device removed, I/O error); it has been closed.
  std::function<void(const QString& message)> onFault;
};

}  // namespace tessarin::platform
