#include "run/Recording.h"

namespace tessarin::run {

namespace {

const QString kWriteFailure = QStringLiteral("Data file not written: ");

void append(app::Console& c, const QByteArray& bytes) {
  const platform::Result<> written = c.dataFile.append(bytes);
  if (!written) {
    c.setStatus(kWriteFailure + written.reason());
  } else if (c.status().startsWith(kWriteFailure) && c.state() == app::RunState::Running) {
    c.setStatus(QStringLiteral("Running..."));
  }
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
  append(c, formatRunHeader(header));
}

void recordSampleLine(app::Console& c, double value) { append(c, formatSampleLine(value)); }

}  // namespace tessarin::run
