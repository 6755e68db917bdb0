#pragma once

#include <QSerialPort>
#include <QString>
#include <string>

#include "link/PortMap.h"
#include "platform/SerialPort.h"

// The instrument's RS-232 line on QSerialPort. Received chunks are handed to the console one
// character at a time and in order, even when a handler lets pending events run (or shows a modal
// box) in the middle of a chunk: characters arriving meanwhile wait in the port's buffer until the
// outer delivery reaches them.
class QtSerialPort : public SerialPort {
 public:
  explicit QtSerialPort(PortMap ports);

  bool open(int commPort, QString& error) override;
  bool isOpen() const override;
  bool write(const std::string& bytes) override;

 private:
  void takeReceived();
  void handleError(QSerialPort::SerialPortError error);
  QString describe(const QString& problem) const;

  PortMap ports_;
  QSerialPort port_;
  int commPort_ = 0;
  QString device_;
  bool delivering_ = false;
  bool faultPending_ = false;
};
