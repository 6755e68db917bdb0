#include "run/DataFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "run/DataFileLabels.h"

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

// Room for the fixed text of the largest double.
using NumberBuffer = std::array<char, 400>;

// A finite non-negative magnitude with up to 15 significant digits, written into `buffer`. The
// decimal exponent is the one after rounding to those digits, so 0.0999999999999999999 counts as
// 0.1. With `exponentForm` unset the number is always written in fixed notation.
std::string_view significant(double magnitude, bool exponentForm, NumberBuffer& buffer) {
  if (magnitude == 0) return "0";
  char* const first = buffer.data();
  char* const last = buffer.data() + buffer.size();

  const auto sci =
      std::to_chars(first, last, magnitude, std::chars_format::scientific, kSignificantDigits - 1);
  const std::string_view sciText(first, sci.ptr - first);
  const std::size_t e = sciText.find('e');
  int exponent = 0;
  std::from_chars(sciText.data() + e + (sciText[e + 1] == '+' ? 2 : 1), sci.ptr, exponent);

  if (exponentForm && (exponent < -1 || exponent >= kSignificantDigits)) {
    // The mantissa stays where it is; its exponent is written over the one to_chars wrote.
    char* end = first + trimFraction(sciText.substr(0, e)).size();
    *end++ = 'E';
    *end++ = exponent < 0 ? '-' : '+';
    const int digits = std::abs(exponent);
    if (digits < 10) *end++ = '0';
    end = std::to_chars(end, last, digits).ptr;
    return std::string_view(first, end - first);
  }
  const int decimals = std::max(0, kSignificantDigits - 1 - exponent);
  const auto fixed = std::to_chars(first, last, magnitude, std::chars_format::fixed, decimals);
  return trimFraction(std::string_view(first, fixed.ptr - first));
}

}  // namespace

DataFile::DataFile(QString path) : path_(std::move(path)), nativePath_(QFile::encodeName(path_)) {}

platform::Result<> DataFile::failure(int error) const {
  return platform::Result<>::failure(path_ + ": " + QString::fromLocal8Bit(std::strerror(error)));
}

platform::Result<> DataFile::append(const QByteArray& bytes) {
  if (path_.isEmpty()) return platform::Result<>::failure(QStringLiteral("no data file chosen"));
  if (bytes.isEmpty()) return {};
  // Straight to the system, without a stream buffer: what write() reports is what the file holds,
  // and nothing is left to flush later. A run's lines come one after another for days, so each
  // append costs no more than its open, write, position and close.
  const int flags = O_WRONLY | O_APPEND | O_CLOEXEC | (writtenSize_ ? 0 : O_CREAT);
  const int fd = ::open(nativePath_.constData(), flags, 0666);
  if (fd < 0) return failure(errno);
  int error = 0;
  qint64 done = 0;
  while (done < bytes.size()) {
    // A disk that fills up takes part of the bytes; the next write tells why it takes no more.
    const ssize_t written = ::write(fd, bytes.constData() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error = written < 0 ? errno : ENOSPC;
      break;
    }
    done += written;
  }
  // Appending leaves the position at the file's end, so the size before these bytes needs no
  // separate look at the file; it stays unknown (-1) while none went in.
  qint64 sizeBefore = -1;
  if (done > 0) {
    const off_t end = ::lseek(fd, 0, SEEK_CUR);
    if (end >= 0)
      sizeBefore = end - done;
    else if (error == 0)
      error = errno;
  }
  // A file cut short since the run's last line is not written on: these bytes come out again.
  const bool cutShort = sizeBefore >= 0 && writtenSize_ && sizeBefore < *writtenSize_;
  // No fragment of the bytes stays, so that the next append starts a line of its own. The
  // reason reported is the write's, even when cutting back fails as well.
  if (sizeBefore >= 0 && (error != 0 || cutShort)) {
    [[maybe_unused]] const int cutBack = ::ftruncate(fd, sizeBefore);
  }
  if (::close(fd) != 0 && error == 0 && !cutShort) {
    error = errno;
    [[maybe_unused]] const int cutBack = ::truncate(nativePath_.constData(), sizeBefore);
  }
  if (cutShort) return platform::Result<>::failure(path_ + ": the file was cut short");
  if (error != 0) return failure(error);
  writtenSize_ = sizeBefore + bytes.size();
  return {};
}

platform::Result<> DataFile::sync() const {
  // The kernel keeps the file's written pages however they were written, so a descriptor of its
  // own serves to send them to the device.
  const int fd = ::open(nativePath_.constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return failure(errno);
  const int error = ::fdatasync(fd) == 0 ? 0 : errno;
  ::close(fd);
  if (error != 0) return failure(error);
  return {};
}

QByteArray formatRunHeader(const RunHeader& h) {
  QByteArray header = "\r\n\r\n\r\n\r\n\r\n\r\n";
  const auto add = [&header](std::string_view text) {
    header.append(text.data(), static_cast<qsizetype>(text.size()));
  };
  header += h.path.toUtf8();
  add(kDateLabel);
  header += h.date.toUtf8();
  add(kTimeLabel);
  header += h.time.toUtf8() + "\r\n\r\n";
  add(kDutFrequencyLabel);
  header += "  " + formatPlainDecimal(h.dutHz).toUtf8() + ' ';
  add(kDutFrequencyUnit);
  header += '\t';
  add(kTauLabel);
  header += "  " + QByteArray::number(h.tauMs, 'f', 1) + ' ';
  add(kTauUnit);
  header += "\r\n\r\n";
  add(kModeLabel);
  header += "   ";
  add(h.filtered ? kFilteredMode : kNonFilteredMode);
  header += "\r\n";
  add(kDataLabel);
  header += "   ";
  add(h.stored == Quantity::Frequency ? kFrequencyData : kPhaseData);
  header += "\r\n\r\n";
  return header;
}

void appendSampleLine(double value, QByteArray& bytes) {
  if (std::isnan(value)) {
    bytes += " NaN \r\n";
  } else if (std::isinf(value)) {
    bytes += value > 0 ? " Inf \r\n" : "-Inf \r\n";
  } else {
    NumberBuffer buffer;
    const std::string_view magnitude = significant(std::fabs(value), true, buffer);
    bytes += value < 0 ? '-' : ' ';
    bytes.append(magnitude.data(), static_cast<qsizetype>(magnitude.size()));
    bytes += " \r\n";
  }
}

QByteArray formatSampleLine(double value) {
  QByteArray line;
  appendSampleLine(value, line);
  return line;
}

QString formatPlainDecimal(double value) {
  if (!std::isfinite(value)) return QString::number(value);
  NumberBuffer buffer;
  const std::string_view magnitude = significant(std::fabs(value), false, buffer);
  return (value < 0 ? QStringLiteral("-") : QString()) +
         QLatin1StringView(magnitude.data(), static_cast<qsizetype>(magnitude.size()));
}

}  // namespace tessarin::run
