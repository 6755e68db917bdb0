#pragma once

#include <QByteArray>
#include <QList>
#include <optional>
#include <vector>

namespace tessarin::test {

// One run as a .DAT file holds it: what its header says and its sample lines, read back without
// the console's code.
struct RecordedRun {
  double dutHz = 0;
  double tauMs = 0;
  bool frequencyData = true;
  QList<QByteArray> sampleLines;  // without their CR LF
};

// The runs of a data file in file order. A header that does not have the form of a run's header
// ends the reading there.
std::vector<RecordedRun> readRecordedRuns(const QByteArray& file);

// The value of a sample line, when the line is whole: " " or "-", a number in general format,
// one trailing space. Nothing for a line that is cut, merged with another or garbled.
std::optional<double> sampleLineValue(const QByteArray& line);

}  // namespace tessarin::test
