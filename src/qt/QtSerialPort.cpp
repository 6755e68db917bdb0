#include "qt/QtSerialPort.h"

#include <QMetaObject>
#include <utility>

#include "qt/SerialPermission.h"

namespace tessarin::qt {

QtSerialPort::QtSerialPort(link::PortMap ports) : ports_(std::move(ports)) {
  port_.setBaudRate(QSerialPort::Baud9600);
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  QObject::connect(&port_, &QSerialPort::readyRead, [this] { takeReceived(); });
  QObject::connect(&port_, &QSerialPort::errorOccurred,
                   [this](QSerialPort::SerialPortError error) { handleError(error); });
}

void QtSerialPort::close() {
  if (port_.isOpen()) port_.close();
  faultPending_ = false;
}

platform::Result<> QtSerialPort::open(int commPort) {
  if (port_.isOpen()) port_.close();
  faultPending_ = false;
  commPort_ = commPort;
  device_ = ports_.deviceFor(commPort);
  port_.setPortName(device_);
  if (port_.open(QIODevice::ReadWrite)) return {};
  QString error;
  switch (port_.error()) {
    case QSerialPort::DeviceNotFoundError:
      error = describe(QStringLiteral("no such device"));
      break;
    case QSerialPort::PermissionError:
      error = describe(lacksPermission(device_)
                           ? permissionRefusal(device_)
                           : QStringLiteral("the port is in use by another program"));
      break;
    case QSerialPort::OpenError:
      error = describe(QStringLiteral("the port is already open"));
      break;
    default:
      error = describe(port_.errorString());
      break;
  }
  port_.clearError();
  return platform::Result<>::failure(error);
}

bool QtSerialPort::isOpen() const { return port_.isOpen() && !faultPending_; }

platform::Result<> QtSerialPort::write(std::string_view bytes) {
  if (!isOpen())
    return platform::Result<>::failure(describe(QStringLiteral("the port is not open")));
  const auto size = static_cast<qint64>(bytes.size());
  if (port_.write(bytes.data(), size) != size)
    return platform::Result<>::failure(describe(port_.errorString()));
  // QSerialPort would wait for the event loop to pass the bytes on; a command written just
  // before the program ends ("MK0" on quitting) must reach the line all the same.
  port_.flush();
  return {};
}

void QtSerialPort::takeReceived() {
  // QSerialPort does not signal again for data read while its signal is being handled, so keep
  // taking what has arrived until the buffer is empty.
  while (port_.isOpen() && port_.bytesAvailable() > 0) {
    const QByteArray chunk = port_.readAll();
    for (const char ch : chunk)
      if (onReceived) onReceived(ch);
  }
}

// A vanished device (pseudo-terminal master closed, USB adapter pulled) makes QSerialPort report
// a read error on every pass of the event loop. The first error ends the line: the port is closed
// once control is back in the event loop (closing inside QSerialPort's own notification is not
// safe) and the console hears of it exactly once.
void QtSerialPort::handleError(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
    case QSerialPort::UnknownError:
      break;
    default:
      return;
  }
  if (!port_.isOpen() || faultPending_) return;
  faultPending_ = true;
  // Qt reports a device that vanished (a USB adapter pulled out, a pseudo-terminal closed) as a
  // resource error whose text is whatever the system last said, often unrelated; say plainly what
  // happened instead.
  const QString message =
      describe(error == QSerialPort::ResourceError
                   ? QStringLiteral("the device has gone (unplugged or switched off)")
                   : port_.errorString());
  QMetaObject::invokeMethod(
      &port_,
      [this, message] {
        if (!faultPending_) return;
        port_.close();
        port_.clearError();
        faultPending_ = false;
        if (onFault) onFault(message);
      },
      Qt::QueuedConnection);
}

QString QtSerialPort::describe(const QString& problem) const {
  return QStringLiteral("Com %1 (%2): %3").arg(commPort_).arg(device_, problem);
}

}  // namespace tessarin::qt
