#include "report/RunReport.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QPdfWriter>
#include <cmath>

#include "output/ConditioningNotes.h"
#include "output/MaskSummary.h"
#include "output/PsdPlot.h"
#include "output/PsdReport.h"
#include "report/ReportFacts.h"
#include "report/ReportPages.h"
#include "report/ReportPlots.h"
#include "stability/NoiseIdentification.h"

namespace tessarin::analyze::report {

using output::AnalysedRun;
using output::quantityName;
using stability::noiseName;

namespace {

constexpr int kDataPlotHeight = 240;
constexpr int kStabilityPlotHeight = 360;
// Beyond this many, the damaged lines' numbers are left to the JSON record.
constexpr std::size_t kDamagedListed = 200;

QString scientific(double value) {
  return std::isnan(value) ? QStringLiteral("-") : QString::asprintf("%.6e", value);
}

QString orUnknown(const std::string& text) {
  return text.empty() ? QStringLiteral("?") : QString::fromStdString(text);
}

QString damagedText(const RunFacts& facts) {
  const auto kept = static_cast<std::int64_t>(facts.damaged.size());
  const std::int64_t total = kept + facts.unkeptDamage.lines;
  if (total == 0) return QStringLiteral("none");
  QStringList numbers;
  std::int64_t gaps = facts.unkeptDamage.gaps;
  for (const records::DamagedLine& line : facts.damaged) {
    gaps += line.gap;
    if (static_cast<std::size_t>(numbers.size()) < kDamagedListed)
      numbers << QString::number(line.line);
  }
  QString text = QString("%1 (%2 taken as gaps): line %3")
                     .arg(total)
                     .arg(gaps)
                     .arg(numbers.join(QStringLiteral(", ")));
  const auto listed = static_cast<std::int64_t>(numbers.size());
  if (total > listed)
    text += facts.unkeptDamage.lines > 0
                ? QString(" and %1 more (the first %2 in the .json)").arg(total - listed).arg(kept)
                : QString(" and %1 more (all in the .json)").arg(total - listed);
  return text;
}

void writeFacts(Pages& pages, const RunFacts& facts, const ReportFacts& report) {
  const records::RecordedRun& run = *facts.run;
  pages.fact("File", QFileInfo(report.inputPath).fileName());
  pages.fact("Run", report.columnFile
                        ? facts.label
                        : facts.label + QString(" (header on line %1)").arg(run.headerLine));
  pages.fact("Started", run.date.empty() && run.time.empty()
                            ? QStringLiteral("not given")
                            : orUnknown(run.date) + ' ' + orUnknown(run.time));
  pages.fact("DUT frequency", run.dutHz ? QString::number(*run.dutHz, 'g', 15) + " Hz" : "?");
  pages.fact("Tau", QString::number(facts.analysis->tau0, 'g', 15) + " s");
  pages.fact("Mode", orUnknown(run.mode));
  pages.fact("Stored quantity", QString::fromStdString(quantityName(run)));
  pages.fact("Samples", QString::number(run.samples.size()));
  pages.fact("Gaps", QString::number(facts.gaps));
  pages.fact("Damaged lines", damagedText(facts));
  // The linear drift is what was removed only when the phase quadratic was fitted; another model
  // is told of under the conditioning.
  const std::optional<analysis::DriftFit>& fit = facts.analysis->conditioning.drift;
  const QString kept =
      !report.driftRemoved ? QStringLiteral(", kept (no --remove-drift)")
      : fit && fit->onPhase && fit->model != analysis::DriftModel::Average
          ? QStringLiteral(", removed")
          : ", kept (the drift model " +
                QString::fromStdString(std::string(analysis::nameOf(report.conditioning.drift))) +
                " instead)";
  pages.fact("Linear drift", facts.driftPerDay
                                 ? scientific(*facts.driftPerDay) + " /day" + kept
                                 : QStringLiteral("- (fewer than three valid points)"));
  if (facts.analysis->meanFrequency)
    pages.fact("Mean frequency", scientific(*facts.analysis->meanFrequency) + ", removed");
  pages.space();
}

// What each step of the conditioning did to the run, in the order they ran.
QString conditioningDone(const RunFacts& facts) {
  QStringList done;
  for (const std::string& note : output::conditioningNotes(facts.analysis->conditioning))
    done << QString::fromStdString(note);
  const analysis::ConditioningRecord& record = facts.analysis->conditioning;
  if (record.drift && record.drift->model == analysis::DriftModel::PhaseQuadratic)
    done << (record.drift->converged
                 ? "linear frequency drift " + scientific(record.drift->coefficients[0].value) +
                       QString(" +- %1 /day, removed")
                           .arg(record.drift->coefficients[0].uncertainty, 0, 'e', 2)
                 : QString::fromStdString("linear frequency drift: " + record.drift->why));
  if (record.meanFrequency)
    done << "mean fractional frequency " + scientific(*record.meanFrequency) + ", removed";
  return done.join(QStringLiteral("; "));
}

void writeTable(Pages& pages, const RunFacts& facts) {
  const std::vector<int> widths = {64, 76, 56, 96, 64, 96, 96, 132};
  const QStringList heading = {"statistic", "tau / s", "m",    "value",
                               "terms",     "low",     "high", "alpha (noise type)"};
  pages.row(heading, widths, true);
  for (const analysis::StatisticRows& statistic : facts.analysis->statistics) {
    const QString name = QString::fromUtf8(stability::nameOf(statistic.statistic));
    for (const stability::AnalysisRow& row : statistic.rows) {
      const stability::Estimate& e = row.estimate;
      const QString alpha =
          row.alpha ? QString("%1 %2").arg(*row.alpha).arg(noiseName(*row.alpha)) : "-";
      pages.row({name, QString::number(e.tau, 'g', 6), QString::number(e.factor),
                 scientific(e.value), QString::number(e.terms), scientific(row.interval.low),
                 scientific(row.interval.high), alpha},
                widths, false);
    }
  }
  pages.space();
}

// The verdict of each curve held to a mask, under the plot that draws the masks.
void writeMaskVerdicts(Pages& pages, const RunFacts& facts) {
  for (const analysis::CurveAgainstMask& curve : facts.analysed->masks)
    pages.fact(QString::fromUtf8(curve.mask->title) + ", " +
                   QString::fromUtf8(stability::nameOf(curve.mask->statistic)),
               QString::fromUtf8(curve.mask->recommendation) + ": " +
                   QString::fromStdString(output::maskVerdictText(curve)));
  if (!facts.analysed->masks.empty()) pages.space();
}

// --psd: the spectrum on a page of its own, how it was made, and with --noise-fit the levels.
void writeSpectrumPage(Pages& pages, const RunFacts& facts, const ReportFacts& report) {
  const analysis::SpectrumAnalysis& spectrum = *facts.analysed->spectrum;
  pages.newPage();
  pages.heading(QFileInfo(report.inputPath).fileName() + ", " + facts.label + ": " +
                    QString::fromStdString(output::spectrumTitle(spectrum.quantity)) +
                    ", one-sided",
                12 * kLine);
  pages.fact("Estimate", QString::fromStdString(output::spectrumMethod(spectrum)));
  pages.fact("Intervals", QString("chi-squared, %1 confidence; %2 degrees of freedom per raw bin")
                              .arg(report.confidence)
                              .arg(spectrum.welch.binDegreesOfFreedom, 0, 'g', 4));
  {
    QCustomPlot plot;
    output::drawSpectrum(plot, plot.axisRect(), {*facts.analysed}, false);
    plot.rescaleAxes();
    plot.xAxis->scaleRange(1.2);
    plot.yAxis->scaleRange(1.3);
    pages.plot(plot, kStabilityPlotHeight);
  }
  if (spectrum.levels.empty()) return;
  pages.fact("Power-law levels",
             QString("S_y(f) = sum h_alpha f^alpha, f_h = 1/(2 tau0) = %1 Hz; from the spectrum "
                     "and from the deviations (NIST SP 1065)")
                 .arg(1 / (2 * spectrum.welch.tau0), 0, 'g', 6));
  const std::vector<int> widths = {48, 110, 96, 96, 96, 64};
  pages.row({"alpha", "noise", "h", "low", "high", "from"}, widths, true);
  for (const analysis::NoiseLevel& level : spectrum.levels) {
    const bool seen = !std::isnan(level.h);
    pages.row({QString::number(level.alpha), noiseName(level.alpha),
               seen ? scientific(level.h) : QStringLiteral("not seen"),
               seen ? scientific(level.low) : QString(), seen ? scientific(level.high) : QString(),
               QString::fromStdString(level.from)},
              widths, false);
  }
  pages.space();
}

}  // namespace

void writeRun(Pages& pages, const RunFacts& facts, const ReportFacts& report) {
  pages.heading(QFileInfo(report.inputPath).fileName() + ", " + facts.label, 12 * kLine);
  writeFacts(pages, facts, report);
  {
    QCustomPlot data;
    drawData(data, facts, report);
    pages.plot(data, kDataPlotHeight);
  }
  QCustomPlot stability;
  drawStabilityWithNoise(stability, facts, report);
  pages.plot(stability, kStabilityPlotHeight);
  writeMaskVerdicts(pages, facts);
  writeTable(pages, facts);
  if (facts.analysed->spectrum) writeSpectrumPage(pages, facts, report);
}

void writeProvenance(Pages& pages, const ReportFacts& report, const QString& recordPath) {
  pages.heading(QStringLiteral("How this analysis was made"), 10 * kLine);
  pages.fact("Program", "tessarin-analyze " + report.version);
  pages.fact("Build (SHA-256)", report.build);
  pages.fact("Command line", commandLine(report.arguments));
  pages.fact("In folder", report.workingDirectory);
  pages.fact("Analysed at", report.analysedAt);
  pages.fact("Input", report.inputPath);
  pages.fact("Input SHA-256", QString::fromLatin1(report.input.sha256.toHex()));
  pages.fact("Conditioning", conditioningAsked(report.conditioning) +
                                 (report.conditioning.any()
                                      ? QStringLiteral(" (always in the order outliers, steps, "
                                                       "drift, offset)")
                                      : QString()));
  for (const RunFacts& run : report.runs)
    if (const QString done = conditioningDone(run); !done.isEmpty()) pages.fact(run.label, done);
  pages.fact("Record",
             QFileInfo(recordPath).fileName() +
                 " (every figure in full precision; tessarin-analyze --verify checks it)");
}

QString recordPathFor(const QString& pdfPath) {
  return pdfPath.left(pdfPath.size() - 4) + QStringLiteral(".json");
}

platform::Result<> writeRunReport(const cli::Options& options, const records::InputFile& file,
                                  const std::vector<AnalysedRun>& runs,
                                  const QStringList& arguments) {
  const auto facts = collectFacts(options, file, runs, arguments);
  if (!facts) return platform::Result<>::failure(facts.reason());
  const ReportFacts& report = facts.value();
  const QString path = QString::fromStdString(options.reportPath);
  const QString recordPath = recordPathFor(path);
  {
    QPdfWriter writer(path);
    prepareWriter(writer, "Run report: " + QFileInfo(report.inputPath).fileName());
    Pages pages(writer);
    if (!pages.ready()) return platform::Result<>::failure(path + ": cannot be written");
    bool first = true;
    for (const RunFacts& run : report.runs) {
      if (!std::exchange(first, false)) pages.newPage();
      writeRun(pages, run, report);
    }
    writeProvenance(pages, report, recordPath);
  }
  if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0)
    return platform::Result<>::failure(path + ": the report could not be written");
  return writeRecord(recordPath, toJson(report));
}

}  // namespace tessarin::analyze::report
