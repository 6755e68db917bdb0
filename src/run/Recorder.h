#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "platform/Result.h"
#include "run/DataFile.h"
#include "run/SampleLineWriter.h"

namespace tessarin::run {

// The lines of a run that could not be written to the data file yet, in the order they came.
// They are written before the next line as soon as a write succeeds again.
struct WaitingLines {
  QByteArray bytes;
  int count = 0;
  bool withHeader = false;  // the run's header is among them

  bool empty() const { return count == 0; }
};

// Keeps a run's lines on their way to the data file: the chosen file, the run's header and the
// lines that wait. A line joins the waiting ones and they all go in one append, so the file keeps
// the run's order and holds whole lines only. The waiting lines' buffer is kept once written, so
// a sample line needs no memory of its own.
class Recorder : public SampleLineWriter {
 public:
  const DataFile& dataFile() const { return file_; }
  // The following runs append to the file at `path`.
  void choose(const QString& path) { file_ = DataFile(path); }

  RecordOutcome beginRun(const RunHeader& header);
  RecordOutcome recordSample(double value) override;
  // The run ends: the waiting lines are tried once more.
  RecordOutcome writeWaiting();
  // Puts the lines written since the last sync on the storage device; nothing to do when no line
  // went in since.
  platform::Result<> sync();

  bool hasWaiting() const { return !waiting_.empty(); }
  int waitingCount() const { return waiting_.count; }
  // Appends to the data file that failed, since the console started, for the lab's monitoring.
  std::int64_t failedWrites() const { return failedWrites_; }
  // The waiting lines, taken out of the recorder: the data file will not get them.
  WaitingLines takeWaiting();
  // Writes `lines` to the file at `path`, after the run's header when they do not hold it, and
  // syncs it.
  platform::Result<> writeElsewhere(const WaitingLines& lines, const QString& path) const;

 private:
  DataFile file_;
  QByteArray header_;
  WaitingLines waiting_;
  bool unsynced_ = false;  // lines went in since the last sync
  std::int64_t failedWrites_ = 0;
};

}  // namespace tessarin::run
