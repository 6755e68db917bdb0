#pragma once

#include <QSerialPort>
#include <QString>
#include <string_view>

#include "link/PortMap.h"
#include "platform/SerialPort.h"

namespace tessarin::qt {

// The instrument's RS-232 line on QSerialPort. Received chunks are handed to the console one
// character at a time and in order.
class QtSerialPort : public platform::SerialPort {
 public:
  explicit QtSerialPort(link::PortMap ports);

  platform::Result<> open(int commPort) override;
  void close() override;
  bool isOpen() const override;
  platform::Result<> write(std::string_view bytes) override;

 private:
  void takeReceived();
  void handleError(QSerialPort::SerialPortError error);
  QString describe(const QString& problem) const;

  link::PortMap ports_;
  QSerialPort port_;
  int commPort_ = 0;
  QString device_;
  bool faultPending_ = false;
};

}  // namespace tessarin::qt
