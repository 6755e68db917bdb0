#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "platform/Result.h"
#include "run/Measurement.h"

namespace tessarin::run {

// The .DAT file that runs append to. It is opened, appended to and closed again for every header
// and sample line, so that a run cut short keeps every line written up to then, and the file's
// disk can be remounted or taken away between two lines.
class DataFile {
 public:
  DataFile() = default;
  explicit DataFile(QString path);

  const QString& path() const { return path_; }
  bool chosen() const { return !path_.isEmpty(); }

  // A run's first line (its header) may create the file; later lines of the run go only to the
  // file the run has been writing, so a file removed or cut short mid-run fails them instead of
  // starting a new file that lacks the run's beginning.
  void beginRun() { writtenSize_.reset(); }

  // Appends `bytes`. All or nothing: when the write fails part-way (a full disk), the file is cut
  // back to its size before it and the reason is returned.
  platform::Result<> append(const QByteArray& bytes);

  // Puts what has been appended on the storage device, so that a power cut cannot take it.
  platform::Result<> sync() const;

 private:
  platform::Result<> failure(int error) const;

  QString path_;
  QByteArray nativePath_;  // the path as the system spells it, encoded once
  // The file's size after the run's last successful append; nothing before the run's first one.
  std::optional<qint64> writtenSize_;
};

// What a run's header says.
struct RunHeader {
  QString path;
  QString date;
  QString time;
  double dutHz = 0;
  double tauMs = 0;
  bool filtered = false;
  Quantity stored = Quantity::Frequency;
};

// Six empty lines, the file name with date and time, DUT frequency and tau, mode and data type.
QByteArray formatRunHeader(const RunHeader& header);

// A sample line: " " or "-", the magnitude in general format, one trailing space, CR LF. General
// format: up to 15 significant digits without trailing zeros, fixed notation with a leading zero
// ("0.5") from 0.1 up to 1E+15, exponent notation outside it with at least two exponent digits
// ("1.5E-11", "2E-05"). NaN and infinities are written as " NaN", " Inf" and "-Inf".
QByteArray formatSampleLine(double value);
// The same line, appended to `bytes`: no memory is taken while `bytes` has room for it.
void appendSampleLine(double value, QByteArray& bytes);

// A frequency as a plain decimal number: up to 15 significant digits, no grouping, no trailing
// zeros.
QString formatPlainDecimal(double value);

}  // namespace tessarin::run
