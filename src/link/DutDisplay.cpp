#include "link/DutDisplay.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "app/Console.h"

namespace tessarin::link {

namespace {

constexpr int kDecimals = 5;

// Five decimals, rounded to nearest with ties to even like every other rounding of the console,
// at least `minIntegerDigits` integer digits, optionally grouped by threes.
QString formatFixed(double hz, int minIntegerDigits, bool grouped) {
  if (!std::isfinite(hz)) return QString::number(hz);
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(hz),
                                    std::chars_format::fixed, kDecimals);
  const std::string_view digits(buffer, result.ptr - buffer);
  const std::size_t point = digits.find('.');
  QString integer =
      QString::fromLatin1(digits.substr(0, point)).rightJustified(minIntegerDigits, u'0');
  if (grouped) {
    for (qsizetype at = integer.size() - 3; at > 0; at -= 3) integer.insert(at, u',');
  }
  const QString text = integer + QString::fromLatin1(digits.substr(point));
  // A value that rounds to zero shows no sign.
  const bool nonZero =
      std::any_of(digits.begin(), digits.end(), [](char ch) { return ch >= '1' && ch <= '9'; });
  return hz < 0 && nonZero ? u'-' + text : text;
}

void switchNormalizationOn(app::Console& c) {
  c.menus.normalize.setChecked(true);
  c.windows.nominalWindow.setVisible(true);
  c.nominalHz = c.initializationSequence.frequencies().rounded;
  c.windows.nominalFrequencyBox.setText(formatGroupedFrequency(c.nominalHz));
}

}  // namespace

QString formatGroupedFrequency(double hz) { return formatFixed(hz, 7, true); }

QString formatFrequency4(double hz) { return formatFixed(hz, 4, false); }

void toggleNormalization(app::Console& c) {
  if (!c.menus.normalize.checked()) {
    switchNormalizationOn(c);
  } else {
    c.menus.normalize.setChecked(false);
    c.windows.nominalWindow.setVisible(false);
  }
}

void askToNormalize(app::Console& c) {
  const bool yes = c.dialogs.askYesNo(QStringLiteral("Do you want to normalize DUT frequency ?"),
                                      QStringLiteral("Normalize FDUT"));
  if (!yes) return;
  if (!c.menus.normalize.checked()) {
    toggleNormalization(c);
    return;
  }
  // Normalization was switched on during the initialization: keep it on. The box still holding
  // what the console wrote then gets the frequency just measured; a typed value is the operator's.
  const bool typedByOperator =
      c.windows.nominalFrequencyBox.text() != formatGroupedFrequency(c.nominalHz);
  if (typedByOperator) {
    c.windows.nominalWindow.setVisible(true);
  } else {
    switchNormalizationOn(c);
  }
}

}  // namespace tessarin::link
