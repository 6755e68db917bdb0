#include "report/HatReport.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include "output/HatPlot.h"
#include "report/InputFingerprint.h"
#include "report/ReportFacts.h"
#include "report/ReportPages.h"
#include "report/RunReport.h"

namespace tessarin::analyze::report {

namespace {

constexpr int kHatPlotHeight = 400;

QJsonValue number(const std::optional<double>& value) {
  return value ? QJsonValue(*value) : QJsonValue();
}

QString scientific(const std::optional<double>& value) {
  return value ? QString::asprintf("%.6e", *value) : QStringLiteral("-");
}

QJsonObject hatJson(const analysis::CorneredHat& hat,
                    const std::vector<output::HatPairFacts>& pairs, std::int64_t sharedPoints,
                    bool valuesOnly) {
  QJsonArray files;
  for (const output::HatPairFacts& pair : pairs)
    files.append(QJsonObject{{"pair", QString::fromStdString(pair.pair)},
                             {"path", QString::fromStdString(pair.path)},
                             {"start", QString::fromStdString(pair.start)},
                             {"runs", pair.runs},
                             {"samples", static_cast<qint64>(pair.samples)},
                             {"skippedBefore", static_cast<qint64>(pair.skippedBefore)}});
  QJsonArray rows;
  for (const analysis::HatCurve& curve : hat.curves)
    for (const analysis::HatRow& row : curve.rows)
      rows.append(QJsonObject{
          {"oscillator", QString::fromStdString(
                             hat.topology.oscillators[static_cast<std::size_t>(curve.oscillator)])},
          {"statistic", QString::fromUtf8(stability::nameOf(curve.statistic))},
          {"tau", row.tau},
          {"m", row.factor},
          {"value", number(row.value)},
          {"terms", static_cast<qint64>(row.terms)},
          {"ciLow", number(row.ciLow)},
          {"ciHigh", number(row.ciHigh)},
          {"note", QString::fromStdString(row.note)}});
  return {{"label", QStringLiteral("N-cornered hat")},
          {"layout", QString::fromUtf8(analysis::nameOf(hat.topology.layout))},
          {"method", QString::fromUtf8(analysis::methodOf(hat.topology.layout))},
          {"intervals", QString::fromStdString(output::intervalText(hat, valuesOnly))},
          {"tau0", hat.tau0},
          {"sharedPoints", static_cast<qint64>(sharedPoints)},
          {"pairs", files},
          {"rows", rows}};
}

void writeTable(Pages& pages, const analysis::CorneredHat& hat) {
  const std::vector<int> widths = {40, 52, 64, 48, 86, 56, 86, 86, 190};
  pages.row({"osc.", "statistic", "tau / s", "m", "value", "terms", "low", "high", "note"}, widths,
            true);
  for (const analysis::HatCurve& curve : hat.curves)
    for (const analysis::HatRow& row : curve.rows)
      pages.row(
          {QString::fromStdString(
               hat.topology.oscillators[static_cast<std::size_t>(curve.oscillator)]),
           QString::fromUtf8(stability::nameOf(curve.statistic)), QString::number(row.tau, 'g', 6),
           QString::number(row.factor), scientific(row.value), QString::number(row.terms),
           scientific(row.ciLow), scientific(row.ciHigh), QString::fromStdString(row.note)},
          widths, false);
  pages.space();
}

}  // namespace

platform::Result<QJsonObject> hatRecord(const cli::Options& options,
                                        const analysis::CorneredHat& hat,
                                        const std::vector<output::HatPairFacts>& pairs,
                                        std::int64_t sharedPoints, const QStringList& arguments) {
  using Record = platform::Result<QJsonObject>;
  const QString build = buildId();
  if (build.isEmpty())
    return Record::failure(QStringLiteral("the program's own file cannot be read for its build"));
  QJsonArray inputs;
  for (const output::HatPairFacts& pair : pairs) {
    const QString path = QFileInfo(QString::fromStdString(pair.path)).absoluteFilePath();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
      return Record::failure(path + ": " + file.errorString());
    const auto fingerprint = fingerprintOf(file);
    if (!fingerprint) return Record::failure(path + ": " + file.errorString());
    QJsonObject input = toJson(*fingerprint);
    input.insert("path", path);
    input.insert("pair", QString::fromStdString(pair.pair));
    inputs.append(input);
  }
  return QJsonObject{
      {"program", "tessarin-analyze"},
      {"version", QStringLiteral(TESSARIN_VERSION)},
      {"build", build},
      {"analysedAt", QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
      {"workingDirectory", QDir::currentPath()},
      {"arguments", QJsonArray::fromStringList(arguments)},
      {"inputs", inputs},
      {"runs", QJsonArray{hatJson(hat, pairs, sharedPoints, options.request.valuesOnly)}}};
}

platform::Result<> writeHatReport(const cli::Options& options, const analysis::CorneredHat& hat,
                                  const std::vector<output::HatPairFacts>& pairs,
                                  std::int64_t sharedPoints, const QStringList& arguments) {
  auto record = hatRecord(options, hat, pairs, sharedPoints, arguments);
  if (!record) return platform::Result<>::failure(record.reason());
  const QString path = QString::fromStdString(options.reportPath);
  const QString recordPath = recordPathFor(path);
  {
    QPdfWriter writer(path);
    prepareWriter(writer, QStringLiteral("N-cornered hat report"));
    Pages pages(writer);
    if (!pages.ready()) return platform::Result<>::failure(path + ": cannot be written");
    pages.heading(QString("N-cornered hat: %1 of %2 oscillators")
                      .arg(QString::fromUtf8(analysis::nameOf(hat.topology.layout)))
                      .arg(hat.topology.oscillators.size()),
                  12 * kLine);
    for (const output::HatPairFacts& pair : pairs) {
      QString facts = QString::fromStdString(pair.path);
      if (!pair.start.empty()) facts += ", started " + QString::fromStdString(pair.start);
      facts += QString(", %1 run%2, %3 phase points")
                   .arg(pair.runs)
                   .arg(pair.runs == 1 ? "" : "s")
                   .arg(pair.samples);
      if (pair.skippedBefore > 0) facts += QString(", from its sample %1").arg(pair.skippedBefore);
      pages.fact("Pair " + QString::fromStdString(pair.pair), facts);
    }
    pages.fact("Shared span",
               QString::fromStdString(output::spanText(pairs, sharedPoints, hat.tau0)));
    pages.fact("Method", QString::fromUtf8(analysis::methodOf(hat.topology.layout)));
    pages.fact(
        "Intervals",
        QString("%1, %2 confidence")
            .arg(QString::fromStdString(output::intervalText(hat, options.request.valuesOnly)))
            .arg(options.request.confidence));
    pages.space();
    {
      QCustomPlot plot;
      output::drawHat(plot, hat);
      pages.plot(plot, kHatPlotHeight);
    }
    writeTable(pages, hat);
    pages.heading(QStringLiteral("How this analysis was made"), 10 * kLine);
    const QJsonObject made = record.value();
    pages.fact("Program", "tessarin-analyze " + made.value("version").toString());
    pages.fact("Build (SHA-256)", made.value("build").toString());
    pages.fact("Command line", commandLine(arguments));
    pages.fact("In folder", made.value("workingDirectory").toString());
    pages.fact("Analysed at", made.value("analysedAt").toString());
    for (const QJsonValue input : made.value("inputs").toArray())
      pages.fact("Input " + input.toObject().value("pair").toString(),
                 input.toObject().value("path").toString() + ", SHA-256 " +
                     input.toObject().value("sha256").toString());
    pages.fact("Record",
               QFileInfo(recordPath).fileName() +
                   " (every figure in full precision; tessarin-analyze --verify checks it)");
  }
  if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0)
    return platform::Result<>::failure(path + ": the report could not be written");
  return writeRecord(recordPath, record.value());
}

}  // namespace tessarin::analyze::report
