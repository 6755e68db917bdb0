#include "app/SettingsCode.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdint>

#include "app/Console.h"
#include "app/TextFileStore.h"

double leadingNumber(const QString& text) {
  static const QRegularExpression number(
      QStringLiteral(R"(^[ \t]*([+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?))"));
  const QRegularExpressionMatch match = number.match(text);
  return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
}

void applySettingsCode(Console& c, double code) {
  ConsoleState& st = c.st;
  Menus& m = c.menus;
  st.dblSettingCode = code;
  // A code whose hundreds do not fit the 16-bit field names none of the choices.
  const double hundreds = std::floor(code / 100);
  if (!(hundreds >= INT16_MIN && hundreds <= INT16_MAX)) return;

  st.intDataTypeCode = static_cast<int>(hundreds);
  if (st.intDataTypeCode == 1) m.frequencyData.setChecked(true);
  if (st.intDataTypeCode == 2) m.phaseData.setChecked(true);

  st.intPortCode = static_cast<int>(std::floor((code - 100.0 * st.intDataTypeCode) / 10));
  MenuItem* ports[] = {&m.com1, &m.com2, &m.com3, &m.com4};
  if (st.intPortCode >= 1 && st.intPortCode <= 4) ports[st.intPortCode - 1]->setChecked(true);

  st.intFilterCode =
      static_cast<int>(std::floor(code - 100.0 * st.intDataTypeCode - 10.0 * st.intPortCode));
  if (st.intFilterCode == 0) m.filtered.setChecked(true);
  if (st.intFilterCode == 1) m.nonFiltered.setChecked(true);
}

double encodeSettingsCode(Console& c) {
  ConsoleState& st = c.st;
  Menus& m = c.menus;
  if (m.com1.checked()) {
    st.intPortCode = 10;
  } else if (m.com2.checked()) {
    st.intPortCode = 20;
  } else if (m.com3.checked()) {
    st.intPortCode = 30;
  } else if (m.com4.checked()) {
    st.intPortCode = 40;
  }
  if (m.filtered.checked()) {
    st.intFilterCode = 0;
  } else if (m.nonFiltered.checked()) {
    st.intFilterCode = 1;
  }
  if (m.frequencyData.checked()) {
    st.intDataTypeCode = 100;
  } else if (m.phaseData.checked()) {
    st.intDataTypeCode = 200;
  }
  st.dblSettingCode = st.intDataTypeCode + st.intPortCode + st.intFilterCode;
  return st.dblSettingCode;
}

void readGlobalSettings(Console& c) {
  c.st.strSettingFile = c.settingsFolder + "/globalsetting.txt";
  QString error;
  const std::optional<QString> text = TextFileStore::LoadFile(c.st.strSettingFile, error);
  if (!text) {
    if (!error.isEmpty()) c.setStatus("Settings not read: " + error);
    return;
  }
  applySettingsCode(c, leadingNumber(*text));
}

bool writeGlobalSettings(Console& c, QString& error) {
  const double code = encodeSettingsCode(c);
  return TextFileStore::SaveFile(c.st.strSettingFile, QString::number(code, 'f', 0), error);
}
