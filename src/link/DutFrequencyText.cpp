#include "link/DutFrequencyText.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

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

}  // namespace

QString formatGroupedFrequency(double hz) { return formatFixed(hz, 7, true); }

QString formatFrequency4(double hz) { return formatFixed(hz, 4, false); }

std::optional<double> nominalFrequencyFromText(const QString& text) {
  bool ok = false;
  const double typed =
      QLocale(QLocale::English, QLocale::UnitedStates).toDouble(text.trimmed(), &ok);
  if (!ok || !std::isfinite(typed)) return std::nullopt;
  return QString::number(typed, 'f', 5).toDouble();
}

}  // namespace tessarin::link
