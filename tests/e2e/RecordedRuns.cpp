#include "e2e/RecordedRuns.h"

#include <QRegularExpression>

namespace tessarin::test {

namespace {

// The header rows after the six empty lines, as a run writes them.
const QRegularExpression kFileRow(QStringLiteral(R"(^.+\tDate  .+\tTime  .+$)"));
const QRegularExpression kDutRow(
    QStringLiteral(R"(^DUT Frequency :  ([0-9]+(?:\.[0-9]+)?) Hz\tTau :  ([0-9]+\.[0-9]) ms$)"));
const QRegularExpression kModeRow(QStringLiteral(R"(^Mode :   (?:Filtered|Non-Filtered)$)"));
const QRegularExpression kDataRow(QStringLiteral(R"(^Data :   (Frequency|Phase) Data$)"));
const QRegularExpression kSampleLine(
    QStringLiteral(R"(^([ -])([0-9]+(?:\.[0-9]+)?(?:E[+-][0-9]{2,3})?) $)"));

bool matches(const QRegularExpression& form, const QByteArray& line) {
  return form.match(QString::fromLatin1(line)).hasMatch();
}

}  // namespace

std::vector<RecordedRun> readRecordedRuns(const QByteArray& file) {
  const QList<QByteArray> lines = file.split('\n');
  // Every line ends with CR LF: a line without its CR keeps a stray character and fails below.
  QList<QByteArray> rows;
  for (qsizetype i = 0; i + 1 < lines.size(); ++i)
    rows.push_back(lines[i].endsWith('\r') ? lines[i].chopped(1) : lines[i] + '\n');
  if (!lines.isEmpty() && !lines.back().isEmpty()) rows.push_back(lines.back() + '\n');

  std::vector<RecordedRun> runs;
  qsizetype i = 0;
  while (i < rows.size()) {
    int empty = 0;
    while (i < rows.size() && rows[i].isEmpty()) ++empty, ++i;
    if (i + 6 >= rows.size() || empty != 6 || !matches(kFileRow, rows[i]) ||
        !rows[i + 1].isEmpty() || !rows[i + 3].isEmpty() || !rows[i + 6].isEmpty() ||
        !matches(kModeRow, rows[i + 4]))
      break;
    const QRegularExpressionMatch dut = kDutRow.match(QString::fromLatin1(rows[i + 2]));
    const QRegularExpressionMatch data = kDataRow.match(QString::fromLatin1(rows[i + 5]));
    if (!dut.hasMatch() || !data.hasMatch()) break;
    RecordedRun run;
    run.dutHz = dut.captured(1).toDouble();
    run.tauMs = dut.captured(2).toDouble();
    run.frequencyData = data.captured(1) == QLatin1String("Frequency");
    for (i += 7; i < rows.size() && !rows[i].isEmpty(); ++i) run.sampleLines.push_back(rows[i]);
    runs.push_back(run);
  }
  return runs;
}

std::optional<double> sampleLineValue(const QByteArray& line) {
  const QRegularExpressionMatch match = kSampleLine.match(QString::fromLatin1(line));
  if (!match.hasMatch()) return std::nullopt;
  const double magnitude = match.captured(2).toDouble();
  return match.captured(1) == QLatin1String("-") ? -magnitude : magnitude;
}

}  // namespace tessarin::test
