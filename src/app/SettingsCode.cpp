#include "app/SettingsCode.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdint>

#include "app/Startup.h"
#include "app/TextFileStore.h"

namespace tessarin::app {

namespace {

QString settingsFile(const Console& c) { return c.settingsFolder + "/globalsetting.txt"; }

}  // namespace

double leadingNumber(const QString& text) {
  static const QRegularExpression number(
      QStringLiteral(R"(^[ \t]*([+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?))"));
  const QRegularExpressionMatch match = number.match(text);
  return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
}

void applySettingsCode(Menus& m, double code) {
  // A code whose hundreds do not fit the 16-bit field names none of the choices.
  const double hundreds = std::floor(code / 100);
  if (!(hundreds >= INT16_MIN && hundreds <= INT16_MAX)) return;

  const auto dataType = static_cast<int>(hundreds);
  if (dataType == 1) m.frequencyData.setChecked(true);
  if (dataType == 2) m.phaseData.setChecked(true);

  const auto port = static_cast<int>(std::floor((code - 100.0 * dataType) / 10));
  MenuItem* ports[] = {&m.com1, &m.com2, &m.com3, &m.com4};
  if (port >= 1 && port <= 4) ports[port - 1]->setChecked(true);

  const auto filter = static_cast<int>(std::floor(code - 100.0 * dataType - 10.0 * port));
  if (filter == 0) m.filtered.setChecked(true);
  if (filter == 1) m.nonFiltered.setChecked(true);
}

int encodeSettingsCode(const Menus& m) {
  int port = 0;
  const MenuItem* const ports[] = {&m.com1, &m.com2, &m.com3, &m.com4};
  for (int n = 4; n >= 1; --n)
    if (ports[n - 1]->checked()) port = n;
  const int filter = !m.filtered.checked() && m.nonFiltered.checked() ? 1 : 0;
  const int dataType = m.frequencyData.checked() ? 1 : m.phaseData.checked() ? 2 : 0;
  return 100 * dataType + 10 * port + filter;
}

void readGlobalSettings(Console& c) {
  const platform::Result<std::optional<QString>> text = loadTextFile(settingsFile(c));
  if (!text) {
    reportStartupProblem(c, "Settings not read: " + text.reason());
  } else if (text.value()) {
    applySettingsCode(c.menus, leadingNumber(*text.value()));
  }
}

platform::Result<> writeGlobalSettings(const Console& c) {
  return saveTextFile(settingsFile(c), QString::number(encodeSettingsCode(c.menus)));
}

}  // namespace tessarin::app
