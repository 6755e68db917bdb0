#pragma once

#include <QMap>
#include <QString>

namespace tessarin::link {

// Which device node stands for "Com n". Without overrides Com n is the n-th on-board serial port,
// /dev/ttyS<n-1>. The optional file serialports.txt in the settings folder names other devices,
// one line per port, for example "Com1=/dev/ttyUSB0", so a USB adapter can serve as Com 1.
class PortMap {
 public:
  // The map of `settingsFolder`/serialports.txt; the defaults alone when the file is absent or
  // unreadable.
  static PortMap Load(const QString& settingsFolder);
  // The map described by the text of a serialports.txt. Blank lines, "#" comments and lines that
  // do not read "Com<n>=<device>" are ignored; "Com" may be in any case and spaces around "=" are
  // allowed. A later line for the same port wins.
  static PortMap Parse(const QString& text);

  QString deviceFor(int commPort) const;

 private:
  QMap<int, QString> overrides_;
};

}  // namespace tessarin::link
