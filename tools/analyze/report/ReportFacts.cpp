#include "report/ReportFacts.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <cmath>

#include "analysis/JoinedRuns.h"
#include "analysis/PhaseSeries.h"
#include "stability/Preprocessing.h"

namespace tessarin::analyze::report {

using output::AnalysedRun;
using output::gapCount;
using output::quantityName;
using output::runLabel;

namespace {

QJsonValue number(double value) { return std::isnan(value) ? QJsonValue() : QJsonValue(value); }

QJsonValue number(const std::optional<double>& value) {
  return value ? number(*value) : QJsonValue();
}

QString text(std::string_view view) {
  return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

QString labelOf(const AnalysedRun& analysed, const records::InputFile& file, bool columnFile) {
  if (columnFile) return QStringLiteral("column file");
  if (analysed.joined > 0) return QString::fromStdString(runLabel(analysed));
  return QString("run %1 of %2").arg(analysed.index).arg(file.runs.size());
}

// The series the analysis worked on, preprocessed the same way (drift, then offset), in the
// quantity the run stores.
void takeData(RunFacts& facts, std::vector<double> phase, const cli::Options& options) {
  const double tau0 = facts.analysis->tau0;
  std::vector<double> fitted = phase;
  facts.driftPerDay = stability::removeFrequencyDrift(fitted, tau0);
  if (options.request.preprocessing.removeDrift) phase = std::move(fitted);
  if (options.request.preprocessing.removeOffset) stability::removeMeanFrequency(phase, tau0);
  if (facts.run->quantity != run::Quantity::Frequency) {
    facts.data = std::move(phase);
    return;
  }
  facts.data.reserve(phase.size());
  for (std::size_t k = 1; k < phase.size(); ++k)
    facts.data.push_back((phase[k] - phase[k - 1]) / tau0);
}

QJsonObject rowJson(stability::Statistic statistic, const stability::AnalysisRow& row) {
  const stability::Estimate& e = row.estimate;
  return {{"statistic", text(stability::nameOf(statistic))},
          {"tau", number(e.tau)},
          {"m", e.factor},
          {"value", number(e.value)},
          {"terms", static_cast<qint64>(e.terms)},
          {"low", number(row.interval.low)},
          {"high", number(row.interval.high)},
          {"alpha", row.alpha ? QJsonValue(*row.alpha) : QJsonValue()},
          {"edf", number(row.edf)}};
}

// Each curve held to a mask: its verdict as a whole, and per tau the limit, margin and verdict.
void addMasks(QJsonObject& run, const AnalysedRun& analysed) {
  if (analysed.masks.empty()) return;
  QJsonArray masks, points;
  for (const analysis::CurveAgainstMask& curve : analysed.masks) {
    const QString statistic = text(stability::nameOf(curve.mask->statistic));
    const QString name = text(curve.mask->name);
    masks.append(QJsonObject{
        {"mask", name},
        {"statistic", statistic},
        {"title", text(curve.mask->title)},
        {"source", text(curve.mask->recommendation)},
        {"verdict", text(analysis::verdictWord(curve.verdict))},
        {"worstTau", curve.worst ? number(curve.points[*curve.worst].tau) : QJsonValue()},
        {"worstMargin", curve.worst ? number(curve.points[*curve.worst].margin) : QJsonValue()}});
    for (const analysis::MaskPoint& point : curve.points)
      points.append(QJsonObject{{"mask", name},
                                {"statistic", statistic},
                                {"tau", number(point.tau)},
                                {"m", point.factor},
                                {"limit", number(point.limit)},
                                {"margin", number(point.margin)},
                                {"ratio", number(point.ratio)},
                                {"verdict", text(analysis::verdictWord(point.verdict))}});
  }
  run.insert("masks", masks);
  run.insert("maskRows", points);
}

QJsonObject spectrumJson(const analysis::SpectrumAnalysis& spectrum) {
  QJsonArray points;
  for (const analysis::SpectrumPoint& point : spectrum.points)
    points.append(QJsonObject{{"f", number(point.frequency)},
                              {"value", number(point.value)},
                              {"bins", static_cast<qint64>(point.bins)},
                              {"edf", number(point.degreesOfFreedom)},
                              {"low", number(point.low)},
                              {"high", number(point.high)}});
  QJsonArray levels;
  for (const analysis::NoiseLevel& level : spectrum.levels)
    levels.append(QJsonObject{{"alpha", level.alpha},
                              {"from", QString::fromStdString(level.from)},
                              {"h", number(level.h)},
                              {"low", number(level.low)},
                              {"high", number(level.high)}});
  const analysis::WelchSpectrum& welch = spectrum.welch;
  return {{"quantity", text(analysis::nameOf(spectrum.quantity))},
          {"nominalHz", number(spectrum.nominalHz)},
          {"segment", welch.segment},
          {"window", welch.window == analysis::SpectralWindow::Hann ? "hann" : "rect"},
          {"averages", static_cast<qint64>(welch.averages)},
          {"leftOut", static_cast<qint64>(welch.leftOut)},
          {"bandsPerDecade", spectrum.bandsPerDecade},
          {"binEdf", number(welch.binDegreesOfFreedom)},
          {"points", points},
          {"levels", levels}};
}

QJsonObject runJson(const RunFacts& facts) {
  const records::RecordedRun& run = *facts.run;
  QJsonArray damaged;
  for (const records::DamagedLine& line : facts.damaged)
    damaged.append(QJsonObject{{"line", static_cast<qint64>(line.line)},
                               {"reason", QString::fromStdString(line.reason)},
                               {"gap", line.gap}});
  QJsonArray rows;
  for (const analysis::StatisticRows& statistic : facts.analysis->statistics)
    for (const stability::AnalysisRow& row : statistic.rows)
      rows.append(rowJson(statistic.statistic, row));
  QJsonObject json{{"label", facts.label},
                   {"headerLine", static_cast<qint64>(run.headerLine)},
                   {"date", QString::fromStdString(run.date)},
                   {"time", QString::fromStdString(run.time)},
                   {"dutHz", number(run.dutHz)},
                   {"tau0", number(facts.analysis->tau0)},
                   {"mode", QString::fromStdString(run.mode)},
                   {"quantity", QString::fromStdString(quantityName(run))},
                   {"samples", static_cast<qint64>(run.samples.size())},
                   {"gaps", static_cast<qint64>(facts.gaps)},
                   {"damagedLines", damaged},
                   {"damagedLinesNotKept", static_cast<qint64>(facts.unkeptDamage.lines)},
                   {"driftPerDay", number(facts.driftPerDay)},
                   {"meanFrequencyRemoved", number(facts.analysis->meanFrequency)},
                   {"rows", rows}};
  addMasks(json, *facts.analysed);
  if (facts.analysed->spectrum) json.insert("spectrum", spectrumJson(*facts.analysed->spectrum));
  return json;
}

}  // namespace

QString buildId() {
  QFile program(QCoreApplication::applicationFilePath());
  if (!program.open(QIODevice::ReadOnly)) return {};
  QCryptographicHash hash(QCryptographicHash::Sha256);
  hash.addData(&program);
  return QString::fromLatin1(hash.result().toHex());
}

platform::Result<ReportFacts> collectFacts(const cli::Options& options,
                                           const records::InputFile& file,
                                           const std::vector<AnalysedRun>& runs,
                                           const QStringList& arguments) {
  using Collected = platform::Result<ReportFacts>;
  ReportFacts facts;
  facts.version = QStringLiteral(TESSARIN_VERSION);
  facts.build = buildId();
  if (facts.build.isEmpty())
    return Collected::failure(
        QStringLiteral("the program's own file cannot be read for its build"));
  facts.analysedAt = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
  facts.workingDirectory = QDir::currentPath();
  facts.arguments = arguments;
  facts.inputPath = QFileInfo(QString::fromStdString(file.path)).absoluteFilePath();
  QFile input(facts.inputPath);
  if (!input.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
    return Collected::failure(facts.inputPath + ": " + input.errorString());
  auto fingerprint = fingerprintOf(input);
  if (!fingerprint) return Collected::failure(facts.inputPath + ": " + input.errorString());
  facts.input = std::move(*fingerprint);
  facts.confidence = options.request.confidence;
  facts.driftRemoved = options.request.preprocessing.removeDrift;
  facts.offsetRemoved = options.request.preprocessing.removeOffset;
  facts.columnFile = options.columns.has_value();

  for (const AnalysedRun& analysed : runs) {
    RunFacts run;
    run.label = labelOf(analysed, file, options.columns.has_value());
    run.analysed = &analysed;
    run.run = analysed.run;
    run.analysis = &analysed.analysis;
    run.gaps = gapCount(*analysed.run);
    for (const records::DamagedLine& line : file.damaged)
      if (analysed.joined > 0 || line.run == analysed.index) run.damaged.push_back(line);
    for (int index = 0; index <= static_cast<int>(file.runs.size()); ++index) {
      if (analysed.joined == 0 && index != analysed.index) continue;
      run.unkeptDamage.lines += records::unkeptDamage(file, index).lines;
      run.unkeptDamage.gaps += records::unkeptDamage(file, index).gaps;
    }
    std::vector<double> phase;
    if (analysed.joined > 0) {
      auto joined = analysis::joinRuns(file);
      if (joined)
        phase.assign(analysis::phaseOf(joined.value()).begin(),
                     analysis::phaseOf(joined.value()).end());
    } else if (auto series = analysis::phaseSeries(*analysed.run, options.columns.has_value())) {
      phase = std::move(series.value());
    }
    takeData(run, std::move(phase), options);
    facts.runs.push_back(std::move(run));
  }
  return facts;
}

QJsonObject toJson(const ReportFacts& facts) {
  QJsonArray runs;
  for (const RunFacts& run : facts.runs) runs.append(runJson(run));
  QJsonObject input = toJson(facts.input);
  input.insert("path", facts.inputPath);
  return {{"program", "tessarin-analyze"},
          {"version", facts.version},
          {"build", facts.build},
          {"analysedAt", facts.analysedAt},
          {"workingDirectory", facts.workingDirectory},
          {"arguments", QJsonArray::fromStringList(facts.arguments)},
          {"input", input},
          {"confidence", facts.confidence},
          {"driftRemoved", facts.driftRemoved},
          {"offsetRemoved", facts.offsetRemoved},
          {"runs", runs}};
}

}  // namespace tessarin::analyze::report
