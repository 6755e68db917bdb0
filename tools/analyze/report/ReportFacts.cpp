#include "report/ReportFacts.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <cmath>

#include "analysis/Conditioning.h"
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

QString labelOf(const AnalysedRun& analysed, const records::InputFile& file, bool columnFile) {
  if (columnFile) return QStringLiteral("column file");
  if (analysed.joined > 0) return QString::fromStdString(runLabel(analysed));
  return QString("run %1 of %2").arg(analysed.index).arg(file.runs.size());
}

// The series the analysis worked on, conditioned the same way, in the quantity the run stores.
void takeData(RunFacts& facts, std::vector<double> phase, const cli::Options& options) {
  const double tau0 = facts.analysis->tau0;
  std::vector<double> fitted = phase;
  facts.driftPerDay = stability::removeFrequencyDrift(fitted, tau0);
  const analysis::Preprocessing& preprocessing = options.request.preprocessing;
  if (facts.run->quantity == run::Quantity::Frequency && preprocessing.onFrequency()) {
    auto conditioned = analysis::conditionSamples(facts.run->samples, run::Quantity::Frequency,
                                                  tau0, options.columns.has_value(), preprocessing);
    if (conditioned) phase = std::move(conditioned.value().phase);
  } else if (preprocessing.any()) {
    (void)analysis::conditionPhase(phase, tau0, preprocessing);
  }
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
  return {{"statistic", QString::fromUtf8(stability::nameOf(statistic))},
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
    const QString statistic = QString::fromUtf8(stability::nameOf(curve.mask->statistic));
    const QString name = QString::fromUtf8(curve.mask->name);
    masks.append(QJsonObject{
        {"mask", name},
        {"statistic", statistic},
        {"title", QString::fromUtf8(curve.mask->title)},
        {"source", QString::fromUtf8(curve.mask->recommendation)},
        {"verdict", QString::fromUtf8(analysis::verdictWord(curve.verdict))},
        {"worstTau", curve.worst ? number(curve.points[*curve.worst].tau) : QJsonValue()},
        {"worstMargin", curve.worst ? number(curve.points[*curve.worst].margin) : QJsonValue()}});
    for (const analysis::MaskPoint& point : curve.points)
      points.append(
          QJsonObject{{"mask", name},
                      {"statistic", statistic},
                      {"tau", number(point.tau)},
                      {"m", point.factor},
                      {"limit", number(point.limit)},
                      {"margin", number(point.margin)},
                      {"ratio", number(point.ratio)},
                      {"verdict", QString::fromUtf8(analysis::verdictWord(point.verdict))}});
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
  return {{"quantity", QString::fromUtf8(analysis::nameOf(spectrum.quantity))},
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

QJsonArray coefficientsJson(const analysis::DriftFit& fit) {
  QJsonArray coefficients;
  for (const analysis::Coefficient& c : fit.coefficients)
    coefficients.append(QJsonObject{{"name", QString::fromStdString(c.name)},
                                    {"value", number(c.value)},
                                    {"uncertainty", number(c.uncertainty)},
                                    {"unit", QString::fromStdString(c.unit)}});
  return coefficients;
}

// The steps the conditioning took, in their order, each with its parameters and what it did.
QJsonArray conditioningJson(const RunFacts& facts) {
  const analysis::ConditioningRecord& record = facts.analysis->conditioning;
  QJsonArray steps;
  if (const auto& screen = record.outliers) {
    QJsonArray outliers, gaps;
    for (const analysis::Outlier& outlier : screen->outliers)
      outliers.append(QJsonObject{
          {"sample", static_cast<qint64>(outlier.sample)},
          {"line", static_cast<qint64>(records::lineOfSample(*facts.run, outlier.sample))},
          {"value", number(outlier.value)},
          {"mads", number(outlier.mads)}});
    for (const std::int64_t gap : screen->gaps) gaps.append(static_cast<qint64>(gap));
    steps.append(QJsonObject{{"step", "outliers"},
                             {"limit", number(screen->limit)},
                             {"median", number(screen->median)},
                             {"sigma", number(screen->sigma)},
                             {"screened", static_cast<qint64>(screen->valid)},
                             {"removed", screen->removed},
                             {"outliers", outliers},
                             {"gaps", gaps}});
  }
  if (const auto& search = record.steps) {
    QJsonArray found;
    for (const analysis::FrequencyStep& step : search->steps)
      found.append(QJsonObject{{"sample", static_cast<qint64>(step.sample)},
                               {"size", number(step.size)},
                               {"sigmas", number(step.sigmas)}});
    steps.append(QJsonObject{{"step", "steps"},
                             {"limit", number(search->limit)},
                             {"noise", number(search->noise)},
                             {"removed", search->removed},
                             {"steps", found}});
  }
  if (const auto& fit = record.drift)
    steps.append(QJsonObject{{"step", "drift"},
                             {"model", QString::fromUtf8(analysis::nameOf(fit->model))},
                             {"fittedTo", fit->onPhase ? "phase" : "frequency"},
                             {"formula", QString::fromUtf8(analysis::formulaOf(*fit))},
                             {"converged", fit->converged},
                             {"why", QString::fromStdString(fit->why)},
                             {"coefficients", coefficientsJson(*fit)},
                             {"residual", number(fit->residual)},
                             {"points", static_cast<qint64>(fit->points)}});
  if (record.meanFrequency)
    steps.append(QJsonObject{{"step", "offset"}, {"meanFrequency", number(record.meanFrequency)}});
  return steps;
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
                   {"conditioning", conditioningJson(facts)},
                   {"rows", rows}};
  addMasks(json, *facts.analysed);
  if (facts.analysed->spectrum) json.insert("spectrum", spectrumJson(*facts.analysed->spectrum));
  return json;
}

}  // namespace

QString conditioningAsked(const analysis::Preprocessing& preprocessing) {
  QStringList steps;
  if (preprocessing.outlierLimit)
    steps << QString("outliers beyond %1 MADs of the median %2")
                 .arg(*preprocessing.outlierLimit)
                 .arg(preprocessing.keepOutliers ? "listed" : "taken as gaps");
  if (preprocessing.stepLimit)
    steps << QString("frequency steps beyond %1 sigmas found%2")
                 .arg(*preprocessing.stepLimit)
                 .arg(preprocessing.removeSteps ? " and removed" : "");
  if (preprocessing.drift == analysis::DriftModel::PhaseQuadratic)
    steps << QStringLiteral("the linear frequency drift removed (least squares on the phase)");
  else if (preprocessing.drift != analysis::DriftModel::None)
    steps << "the drift model " + QString::fromUtf8(analysis::nameOf(preprocessing.drift)) +
                 " removed";
  if (preprocessing.removeOffset) steps << QStringLiteral("the mean frequency removed");
  return steps.isEmpty() ? QStringLiteral("none") : steps.join(QStringLiteral(", then "));
}

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
  facts.conditioning = options.request.preprocessing;
  facts.driftRemoved = options.request.preprocessing.drift != analysis::DriftModel::None;
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
          {"conditioning", conditioningAsked(facts.conditioning)},
          {"runs", runs}};
}

}  // namespace tessarin::analyze::report
