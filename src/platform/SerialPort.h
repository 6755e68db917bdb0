#pragma once

#include <QString>
#include <functional>
#include <string>

// The RS-232 line to the instrument: 9600 baud, 8 data bits, no parity, 1 stop bit.
class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens Com `commPort` (1 to 4). On failure returns false and fills `error` with a message that
  // names the device and the reason.
  virtual bool open(int commPort, QString& error) = 0;
  virtual bool isOpen() const = 0;
  // Writes `bytes` in one write. Returns false when the port is not open or the write failed.
  virtual bool write(const std::string& bytes) = 0;

  // Every received character, one call per character, in arrival order, as soon as it arrives.
  std::function<void(char)> onReceived;
  // The port failed while open (device removed, I/O error); it has been closed.
  std::function<void(const QString& message)> onFault;
};
