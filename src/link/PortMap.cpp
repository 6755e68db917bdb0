#include "link/PortMap.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace tessarin::link {

PortMap PortMap::Load(const QString& settingsFolder) {
  QFile file(settingsFolder + QStringLiteral("/serialports.txt"));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return PortMap();
  return Parse(QString::fromUtf8(file.readAll()));
}

PortMap PortMap::Parse(const QString& text) {
  static const QRegularExpression entry(QStringLiteral(R"(^com\s*([0-9]+)\s*=\s*(\S.*)$)"),
                                        QRegularExpression::CaseInsensitiveOption);
  PortMap map;
  for (const QString& rawLine : text.split(QLatin1Char('\n'))) {
    const QString line = rawLine.trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    const QRegularExpressionMatch match = entry.match(line);
    if (!match.hasMatch()) continue;
    bool isNumber = false;
    const int port = match.captured(1).toInt(&isNumber);
    if (!isNumber || port < 1) continue;
    map.overrides_.insert(port, match.captured(2).trimmed());
  }
  return map;
}

QString PortMap::deviceFor(int commPort) const {
  const auto found = overrides_.constFind(commPort);
  if (found != overrides_.constEnd()) return *found;
  return QStringLiteral("/dev/ttyS%1").arg(commPort - 1);
}

}  // namespace tessarin::link
