#include "run/DataFile.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace tessarin::run {

namespace {

constexpr int kSignificantDigits = 15;

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

}  // namespace

DataFile::DataFile(QString path) : path_(std::move(path)) {}

platform::Result<> DataFile::append(const QByteArray& bytes) {
  if (path_.isEmpty()) return platform::Result<>::failure(QStringLiteral("no data file chosen"));
  QFile file(path_);
  // Unbuffered: what write() reports is what the file holds, and nothing is left to flush later.
  QIODevice::OpenMode mode = QIODevice::Append | QIODevice::Unbuffered;
  if (writtenSize_) mode |= QIODevice::ExistingOnly;
  if (!file.open(mode)) return platform::Result<>::failure(path_ + ": " + file.errorString());
  const qint64 sizeBefore = file.size();
  if (writtenSize_ && sizeBefore < *writtenSize_)
    return platform::Result<>::failure(path_ + ": the file was cut short");
  qint64 done = 0;
  while (done < bytes.size()) {
    // A disk that fills up takes part of the bytes; the next write tells why it takes no more.
    const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
    if (written <= 0) break;
    done += written;
  }
  QString failure = done < bytes.size() ? file.errorString() : QString();
  file.close();
  if (failure.isEmpty() && file.error() != QFileDevice::NoError) failure = file.errorString();
  if (failure.isEmpty()) {
    writtenSize_ = sizeBefore + bytes.size();
    return {};
  }
  // No fragment of the bytes stays, so that the next append starts a line of its own.
  file.resize(sizeBefore);
  return platform::Result<>::failure(path_ + ": " + failure);
}

QByteArray formatRunHeader(const RunHeader& h) {
  QByteArray header = "\r\n\r\n\r\n\r\n\r\n\r\n";
  header +=
      h.path.toUtf8() + "\tDate  " + h.date.toUtf8() + "\tTime  " + h.time.toUtf8() + "\r\n\r\n";
  header += "DUT Frequency :  " + formatPlainDecimal(h.dutHz).toUtf8() +
            " Hz\tTau :  " + QByteArray::number(h.tauMs, 'f', 1) + " ms\r\n\r\n";
  header += h.filtered ? "Mode :   Filtered\r\n" : "Mode :   Non-Filtered\r\n";
  header += h.stored == Quantity::Frequency ? "Data :   Frequency Data\r\n\r\n"
                                            : "Data :   Phase Data\r\n\r\n";
  return header;
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

}  // namespace tessarin::run
