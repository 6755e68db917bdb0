#include "run/DataFile.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

#include "app/Console.h"

namespace {

constexpr int kSignificantDigits = 15;
const QString kWriteFailure = QStringLiteral("Data file not written: ");

// Trims the zeros after the last significant decimal of a fixed or mantissa text, and the point
// when nothing follows it.
std::string_view trimFraction(std::string_view digits) {
  if (digits.find('.') == std::string_view::npos) return digits;
  while (digits.back() == '0') digits.remove_suffix(1);
  if (digits.back() == '.') digits.remove_suffix(1);
  return digits;
}

// A finite non-negative magnitude with up to 15 significant digits. The decimal exponent is the
// one after rounding to those digits, so 0.0999999999999999999 counts as 0.1. With
// `exponentForm` unset the number is always written in fixed notation.
QByteArray significant(double magnitude, bool exponentForm) {
  if (magnitude == 0) return "0";
  std::array<char, 400> buffer{};  // room for the fixed text of the largest double
  char* const first = buffer.data();
  char* const last = buffer.data() + buffer.size();

  const auto sci =
      std::to_chars(first, last, magnitude, std::chars_format::scientific, kSignificantDigits - 1);
  const std::string_view sciText(first, sci.ptr - first);
  const std::size_t e = sciText.find('e');
  int exponent = 0;
  std::from_chars(sciText.data() + e + (sciText[e + 1] == '+' ? 2 : 1), sci.ptr, exponent);

  if (exponentForm && (exponent < -1 || exponent >= kSignificantDigits)) {
    const std::string_view mantissa = trimFraction(sciText.substr(0, e));
    QByteArray text(mantissa.data(), static_cast<qsizetype>(mantissa.size()));
    text += exponent < 0 ? "E-" : "E+";
    const int digits = std::abs(exponent);
    if (digits < 10) text += '0';
    text += QByteArray::number(digits);
    return text;
  }
  const int decimals = std::max(0, kSignificantDigits - 1 - exponent);
  const auto fixed = std::to_chars(first, last, magnitude, std::chars_format::fixed, decimals);
  const std::string_view fixedText = trimFraction(std::string_view(first, fixed.ptr - first));
  return QByteArray(fixedText.data(), static_cast<qsizetype>(fixedText.size()));
}

// Opens the data file for appending (creating it when missing), writes `bytes` and closes it
// again, so that an interrupted run loses at most the line being written. A failure shows in the
// status line; once a later write succeeds the status line no longer claims the failure.
bool appendToDataFile(Console& c, const QByteArray& bytes) {
  const QString& path = c.st.strDataFile;
  if (path.isEmpty()) {
    c.setStatus(kWriteFailure + "no data file chosen");
    return false;
  }
  QFile file(path);
  std::optional<QString> failure;
  if (!file.open(QIODevice::Append)) {
    failure = file.errorString();
  } else {
    if (file.write(bytes) != bytes.size() || !file.flush()) failure = file.errorString();
    file.close();
    if (!failure && file.error() != QFileDevice::NoError) failure = file.errorString();
  }
  if (failure) {
    c.setStatus(kWriteFailure + path + ": " + *failure);
    return false;
  }
  if (c.status().startsWith(kWriteFailure) && c.st.intRunState == 1) c.setStatus("Running...");
  return true;
}

}  // namespace

void chooseDataFile(Console& c) {
  const std::optional<QString> name =
      c.dialogs.saveFileName("Save .DAT file as", "*.DAT", "DAT", c.st.strDataFile);
  if (!name || name->isEmpty()) return;
  c.st.strDataFile = *name;
  c.st.intFileChosen = 1;
  if (c.st.intInitPending == 1) c.menus.initialization.setEnabled(true);
}

bool writeRunHeader(Console& c) {
  const ConsoleState& st = c.st;
  const Menus& m = c.menus;
  const double frequency = m.normalize.checked() ? st.dblNominalDut : st.dblDutFreq;

  QByteArray header = "\r\n\r\n\r\n\r\n\r\n\r\n";
  header += st.strDataFile.toUtf8() + "\tDate  " + c.clock.shortDate().toUtf8() + "\tTime  " +
            c.clock.time().toUtf8() + "\r\n\r\n";
  header += "DUT Frequency :  " + formatPlainDecimal(frequency).toUtf8() +
            " Hz\tTau :  " + QByteArray::number(st.dblTauMs, 'f', 1) + " ms\r\n\r\n";
  header += m.filtered.checked() ? "Mode :   Filtered\r\n" : "Mode :   Non-Filtered\r\n";
  header +=
      m.frequencyData.checked() ? "Data :   Frequency Data\r\n\r\n" : "Data :   Phase Data\r\n\r\n";
  return appendToDataFile(c, header);
}

bool writeSampleLine(Console& c, double value) {
  return appendToDataFile(c, formatSampleLine(value));
}

QByteArray formatSampleLine(double value) {
  QByteArray line;
  if (std::isnan(value))
    line = " NaN";
  else if (std::isinf(value))
    line = value > 0 ? " Inf" : "-Inf";
  else
    line = (value < 0 ? "-" : " ") + significant(std::fabs(value), true);
  return line + " \r\n";
}

QString formatPlainDecimal(double value) {
  if (!std::isfinite(value)) return QString::number(value);
  const QByteArray magnitude = significant(std::fabs(value), false);
  return QString::fromLatin1((value < 0 ? "-" : "") + magnitude);
}
