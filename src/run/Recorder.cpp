#include "run/Recorder.h"

#include <utility>

namespace tessarin::run {

RecordOutcome Recorder::beginRun(const RunHeader& header) {
  header_ = formatRunHeader(header);
  file_.beginRun();
  // Copied rather than shared with header_, so that the buffer stays the recorder's own.
  waiting_.bytes.append(QByteArrayView(header_));
  ++waiting_.count;
  waiting_.withHeader = true;
  return writeWaiting();
}

RecordOutcome Recorder::recordSample(double value) {
  appendSampleLine(value, waiting_.bytes);
  ++waiting_.count;
  return writeWaiting();
}

RecordOutcome Recorder::writeWaiting() {
  const int lines = waiting_.count;
  if (lines == 0) return {.written = true, .caughtUp = false, .waiting = 0, .reason = {}};
  const platform::Result<> written = file_.append(waiting_.bytes);
  if (!written) {
    ++failedWrites_;
    return {.written = false, .caughtUp = false, .waiting = lines, .reason = written.reason()};
  }
  // Emptied but not given back: the next line goes into the same memory.
  waiting_.bytes.resize(0);
  waiting_.count = 0;
  waiting_.withHeader = false;
  unsynced_ = true;
  return {.written = true, .caughtUp = lines > 1, .waiting = 0, .reason = {}};
}

WaitingLines Recorder::takeWaiting() { return std::exchange(waiting_, {}); }

platform::Result<> Recorder::sync() {
  if (!unsynced_) return {};
  const platform::Result<> synced = file_.sync();
  unsynced_ = !synced;
  return synced;
}

platform::Result<> Recorder::writeElsewhere(const WaitingLines& lines, const QString& path) const {
  const QByteArray header = lines.withHeader ? QByteArray() : header_;
  DataFile other(path);
  const platform::Result<> written = other.append(header + lines.bytes);
  return written ? other.sync() : written;
}

}  // namespace tessarin::run
