#include "app/runs/Recording.h"

#include "app/Console.h"
#include "app/watch/Events.h"

namespace tessarin::app::runs {

namespace {

const QString kWriteFailure = QStringLiteral("Data file not written: ");
const QString kDataFileTitle = QStringLiteral("Save .DAT file as");

std::optional<QString> askForDataFile(Console& c) {
  return c.platform().dialogs.saveFileName(kDataFileTitle, QStringLiteral("*.DAT"),
                                           QStringLiteral("DAT"), c.recorder().dataFile().path());
}

// Says what became of the lines: why they wait, or that the run is on again once lines that
// waited are in the file.
void sayOutcome(Console& c, const run::RecordOutcome& outcome) {
  if (!outcome.written) {
    c.setStatus(kWriteFailure + outcome.reason +
                QStringLiteral("; %1 lines waiting").arg(outcome.waiting));
    // Told once, when the first line had to wait, not again for every line that joins it.
    if (outcome.waiting == 1) watch::recordEvent(c, QStringLiteral("file-not-written"), c.status());
  } else if (outcome.caughtUp) {
    if (c.state() == RunState::Running) c.setStatus(runningStatus(c));
    watch::recordEvent(
        c, QStringLiteral("file-written-again"),
        QStringLiteral("Data file written again: ") + c.recorder().dataFile().path());
  }
}

}  // namespace

void chooseDataFile(Console& c) {
  const std::optional<QString> name = askForDataFile(c);
  if (!name || name->isEmpty()) return;
  c.recorder().choose(*name);
  c.showState();
}

void writeRunHeader(Console& c, const run::RunHeader& header) {
  sayOutcome(c, c.recorder().beginRun(header));
}

void reportSampleLine(Console& c, const run::RecordOutcome& outcome) {
  if (c.silence().sampleCame(c.platform().clock.sinceStart())) c.setStatus(runningStatus(c));
  sayOutcome(c, outcome);
}

QString runningStatus(const Console& c) {
  return QStringLiteral("Running...") + c.resumption().resumedNote();
}

void syncDataFile(Console& c) {
  const platform::Result<> synced = c.recorder().sync();
  if (!synced) c.setStatus(QStringLiteral("Data file not synced to the disk: ") + synced.reason());
}

void saveWaitingLines(Console& c) {
  run::Recorder& recorder = c.recorder();
  if (!recorder.hasWaiting()) return syncDataFile(c);
  const run::RecordOutcome retried = recorder.writeWaiting();
  sayOutcome(c, retried);
  if (retried.written) return syncDataFile(c);
  // Taken at once, so that a Quit while the box is open finds nothing more to ask about.
  const run::WaitingLines waiting = recorder.takeWaiting();
  const QString count = QString::number(waiting.count);
  c.platform().dialogs.message(count + " lines of the run could not be written to " +
                                   recorder.dataFile().path() +
                                   ".\nChoose another file for them, or cancel to drop them.",
                               QStringLiteral("Tessarin / RS"), platform::Dialogs::Icon::Warning);
  const std::optional<QString> other = askForDataFile(c);
  if (!other || other->isEmpty()) {
    c.setStatus(count + " waiting lines dropped");
    return;
  }
  const platform::Result<> written = recorder.writeElsewhere(waiting, *other);
  c.setStatus(written ? count + " waiting lines written to " + *other
                      : kWriteFailure + written.reason() + "; " + count + " lines dropped");
}

}  // namespace tessarin::app::runs
