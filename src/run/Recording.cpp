#include "run/Recording.h"

#include <utility>

namespace tessarin::run {

namespace {

const QString kWriteFailure = QStringLiteral("Data file not written: ");

// Writes the waiting lines in one append. A failure keeps them all waiting and says how many.
bool writeWaitingLines(app::Console& c) {
  WaitingLines& waiting = c.waitingLines;
  const platform::Result<> written = c.dataFile.append(waiting.bytes);
  if (!written) {
    c.setStatus(kWriteFailure + written.reason() +
                QStringLiteral("; %1 lines waiting").arg(waiting.count));
    return false;
  }
  waiting = {};
  if (c.status().startsWith(kWriteFailure) && c.state() == app::RunState::Running)
    c.setStatus(QStringLiteral("Running..."));
  return true;
}

// The line joins the waiting ones, which are written before it, so the file keeps the run's order.
void record(app::Console& c, const QByteArray& line, bool header) {
  WaitingLines& waiting = c.waitingLines;
  waiting.bytes += line;
  ++waiting.count;
  waiting.withHeader = waiting.withHeader || header;
  writeWaitingLines(c);
}

}  // namespace

void chooseDataFile(app::Console& c) {
  const std::optional<QString> name =
      c.dialogs.saveFileName(QStringLiteral("Save .DAT file as"), QStringLiteral("*.DAT"),
                             QStringLiteral("DAT"), c.dataFile.path());
  if (!name || name->isEmpty()) return;
  c.dataFile = DataFile(*name);
  c.showState();
}

void writeRunHeader(app::Console& c, double tauMs) {
  const app::Menus& m = c.menus;
  RunHeader header;
  header.path = c.dataFile.path();
  header.date = c.clock.shortDate();
  header.time = c.clock.time();
  header.dutHz =
      m.normalize.checked() ? c.nominalHz : c.initializationSequence.frequencies().measured;
  header.tauMs = tauMs;
  header.filtered = m.filtered.checked();
  header.stored = m.frequencyData.checked() ? Quantity::Frequency : Quantity::Phase;
  c.runHeader = formatRunHeader(header);
  c.dataFile.beginRun();
  record(c, c.runHeader, true);
}

void recordSampleLine(app::Console& c, double value) { record(c, formatSampleLine(value), false); }

void saveWaitingLines(app::Console& c) {
  if (c.waitingLines.empty() || writeWaitingLines(c)) return;
  // Taken at once, so that a Quit while the box is open finds nothing more to ask about.
  const WaitingLines waiting = std::exchange(c.waitingLines, {});
  const QString count = QString::number(waiting.count);
  c.dialogs.message(count + " lines of the run could not be written to " + c.dataFile.path() +
                        ".\nChoose another file for them, or cancel to drop them.",
                    QStringLiteral("Tessarin / RS"), platform::Dialogs::Icon::Warning);
  const std::optional<QString> other =
      c.dialogs.saveFileName(QStringLiteral("Save .DAT file as"), QStringLiteral("*.DAT"),
                             QStringLiteral("DAT"), c.dataFile.path());
  if (!other || other->isEmpty()) {
    c.setStatus(count + " waiting lines dropped");
    return;
  }
  // The other file gets the run's header once, ahead of the lines the data file misses.
  const QByteArray header = waiting.withHeader ? QByteArray() : c.runHeader;
  const platform::Result<> written = DataFile(*other).append(header + waiting.bytes);
  c.setStatus(written ? count + " waiting lines written to " + *other
                      : kWriteFailure + written.reason() + "; " + count + " lines dropped");
}

}  // namespace tessarin::run
