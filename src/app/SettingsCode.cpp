#include "app/SettingsCode.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdint>

#include "app/Startup.h"
#include "app/TextFileStore.h"

namespace tessarin::app {

namespace {

QString settingsFile(const QString& folder) { return folder + "/globalsetting.txt"; }

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

int encodeSettingsCode(const run::RunChoices& choices) {
  const int port = choices.comPort.value_or(0);
  const int filter = choices.mode == run::FilterMode::NonFiltered ? 1 : 0;
  const int dataType = !choices.stored ? 0 : *choices.stored == run::Quantity::Frequency ? 1 : 2;
  return 100 * dataType + 10 * port + filter;
}

void readGlobalSettings(Console& c) {
  const platform::Result<std::optional<QString>> text =
      loadTextFile(settingsFile(c.settingsFolder()));
  if (!text) {
    reportStartupProblem(c, "Settings not read: " + text.reason());
  } else if (text.value()) {
    applySettingsCode(c.menus(), leadingNumber(*text.value()));
  }
}

platform::Result<> writeGlobalSettings(const QString& settingsFolder,
                                       const run::RunChoices& choices) {
  return saveTextFile(settingsFile(settingsFolder), QString::number(encodeSettingsCode(choices)));
}

}  // namespace tessarin::app
