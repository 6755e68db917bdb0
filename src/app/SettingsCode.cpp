#include "app/SettingsCode.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdint>

#include "app/Console.h"
#include "app/TextFileStore.h"

double LeadingNumber(const QString& text) {
  static const QRegularExpression number(
      QStringLiteral(R"(^[ \t]*([+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?))"));
  const QRegularExpressionMatch match = number.match(text);
  return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
}

void ApplySettingsCode(Console& c, double code) {
  ConsoleState& st = c.st;
  Menus& m = c.menu;
  st.dblSettingCode = code;
  // A code whose hundreds do not fit the 16-bit field names none of the choices.
  const double hundreds = std::floor(code / 100);
  if (!(hundreds >= INT16_MIN && hundreds <= INT16_MAX)) return;

  st.intDataTypeCode = static_cast<int>(hundreds);
  if (st.intDataTypeCode == 1) m.mnuFreqData.setChecked(true);
  if (st.intDataTypeCode == 2) m.mnuPhaseData.setChecked(true);

  st.intPortCode = static_cast<int>(std::floor((code - 100.0 * st.intDataTypeCode) / 10));
  MenuItem* ports[] = {&m.mnuCom1, &m.mnuCom2, &m.mnuCom3, &m.mnuCom4};
  if (st.intPortCode >= 1 && st.intPortCode <= 4) ports[st.intPortCode - 1]->setChecked(true);

  st.intFilterCode =
      static_cast<int>(std::floor(code - 100.0 * st.intDataTypeCode - 10.0 * st.intPortCode));
  if (st.intFilterCode == 0) m.mnuFiltered.setChecked(true);
  if (st.intFilterCode == 1) m.mnuNonFiltered.setChecked(true);
}

double EncodeSettingsCode(Console& c) {
  ConsoleState& st = c.st;
  Menus& m = c.menu;
  if (m.mnuCom1.checked()) {
    st.intPortCode = 10;
  } else if (m.mnuCom2.checked()) {
    st.intPortCode = 20;
  } else if (m.mnuCom3.checked()) {
    st.intPortCode = 30;
  } else if (m.mnuCom4.checked()) {
    st.intPortCode = 40;
  }
  if (m.mnuFiltered.checked()) {
    st.intFilterCode = 0;
  } else if (m.mnuNonFiltered.checked()) {
    st.intFilterCode = 1;
  }
  if (m.mnuFreqData.checked()) {
    st.intDataTypeCode = 100;
  } else if (m.mnuPhaseData.checked()) {
    st.intDataTypeCode = 200;
  }
  st.dblSettingCode = st.intDataTypeCode + st.intPortCode + st.intFilterCode;
  return st.dblSettingCode;
}

void ReadGlobalSettings(Console& c) {
  c.st.strSettingFile = c.settingsFolder + "/globalsetting.txt";
  QString error;
  const std::optional<QString> text = TextFileStore::LoadFile(c.st.strSettingFile, error);
  if (!text) {
    if (!error.isEmpty()) c.setStatus("Settings not read: " + error);
    return;
  }
  ApplySettingsCode(c, LeadingNumber(*text));
}

bool WriteGlobalSettings(Console& c, QString& error) {
  const double code = EncodeSettingsCode(c);
  return TextFileStore::SaveFile(c.st.strSettingFile, QString::number(code, 'f', 0), error);
}
