#include "report/ComparisonReport.h"

#include <qcustomplot.h>

#include <QFileInfo>
#include <QJsonArray>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <set>

#include "output/PlotFile.h"
#include "report/ReportFacts.h"
#include "report/ReportPages.h"
#include "report/RunReport.h"

namespace tessarin::analyze::report {

namespace {

constexpr int kComparisonPlotHeight = 420;
constexpr int kTauColumn = 110;
constexpr int kWidestValueColumn = 96;

platform::Result<std::vector<ReportFacts>> factsOf(std::span<const ComparedInput> inputs,
                                                   const QStringList& arguments) {
  std::vector<ReportFacts> all;
  for (const ComparedInput& input : inputs) {
    auto facts = collectFacts(input.options, *input.file, *input.runs, arguments);
    if (!facts) return platform::Result<std::vector<ReportFacts>>::failure(facts.reason());
    all.push_back(std::move(facts.value()));
  }
  return all;
}

QJsonObject recordOf(const std::vector<ReportFacts>& all) {
  QJsonObject record = toJson(all.front());
  record.remove("input");
  QJsonArray inputs, runs;
  for (const ReportFacts& facts : all) {
    const QJsonObject alone = toJson(facts);
    inputs.append(alone.value("input"));
    const QString file = QFileInfo(facts.inputPath).fileName();
    for (const QJsonValue run : alone.value("runs").toArray()) {
      QJsonObject named = run.toObject();
      named.insert("label", file + ", " + named.value("label").toString());
      runs.append(named);
    }
  }
  record.insert("inputs", inputs);
  record.insert("runs", runs);
  return record;
}

// The value of `statistic` at `tau` in `rows`, with the digits a comparison needs; "-" where it
// has none.
QString valueAt(const analysis::SeriesAnalysis& analysis, stability::Statistic statistic,
                double tau) {
  for (const analysis::StatisticRows& rows : analysis.statistics)
    if (rows.statistic == statistic)
      for (const stability::AnalysisRow& row : rows.rows)
        if (std::abs(row.estimate.tau - tau) <= 1e-9 * tau && !std::isnan(row.estimate.value))
          return QString::number(row.estimate.value, 'e', 2);
  return QStringLiteral("-");
}

// Per statistic a row per tau that any trace has, and a column per trace, numbered as the key
// above the table names them.
void writeComparisonTable(Pages& pages, const std::vector<output::AnalysedRun>& traces) {
  for (std::size_t i = 0; i < traces.size(); ++i)
    pages.fact(QString("#%1").arg(i + 1), QString::fromStdString(traces[i].source));
  pages.space();
  const int column =
      std::min(kWidestValueColumn, (pages.width() - kTauColumn) / static_cast<int>(traces.size()));
  std::vector<int> widths{kTauColumn};
  widths.resize(traces.size() + 1, column);
  for (const analysis::StatisticRows& statistic : traces.front().analysis.statistics) {
    std::set<double> taus;
    for (const output::AnalysedRun& trace : traces)
      for (const analysis::StatisticRows& rows : trace.analysis.statistics)
        if (rows.statistic == statistic.statistic)
          for (const stability::AnalysisRow& row : rows.rows) taus.insert(row.estimate.tau);
    QStringList heading{QString::fromUtf8(stability::nameOf(statistic.statistic)) + ", tau / s"};
    for (std::size_t i = 0; i < traces.size(); ++i) heading << QString("#%1").arg(i + 1);
    pages.row(heading, widths, true);
    for (const double tau : taus) {
      QStringList cells{QString::number(tau, 'g', 6)};
      for (const output::AnalysedRun& trace : traces)
        cells << valueAt(trace.analysis, statistic.statistic, tau);
      pages.row(cells, widths, false);
    }
    pages.space();
  }
}

}  // namespace

platform::Result<QJsonObject> comparisonRecord(std::span<const ComparedInput> inputs,
                                               const QStringList& arguments) {
  const auto all = factsOf(inputs, arguments);
  if (!all) return platform::Result<QJsonObject>::failure(all.reason());
  return recordOf(all.value());
}

platform::Result<> writeComparisonReport(const cli::Options& options,
                                         std::span<const ComparedInput> inputs,
                                         const std::vector<output::AnalysedRun>& traces,
                                         const QStringList& arguments) {
  const auto all = factsOf(inputs, arguments);
  if (!all) return platform::Result<>::failure(all.reason());
  const QString path = QString::fromStdString(options.reportPath);
  const QString recordPath = recordPathFor(path);
  {
    QPdfWriter writer(path);
    prepareWriter(writer, QString("Comparison of %1 inputs").arg(traces.size()));
    Pages pages(writer);
    if (!pages.ready()) return platform::Result<>::failure(path + ": cannot be written");
    pages.heading(QString("Comparison of %1 inputs").arg(traces.size()), kComparisonPlotHeight);
    {
      QCustomPlot plot;
      output::drawStability(plot, traces, false);
      pages.plot(plot, kComparisonPlotHeight);
    }
    writeComparisonTable(pages, traces);
    for (const ReportFacts& report : all.value())
      for (const RunFacts& run : report.runs) {
        pages.newPage();
        writeRun(pages, run, report);
      }
    for (const ReportFacts& report : all.value()) writeProvenance(pages, report, recordPath);
  }
  if (!QFileInfo(path).isFile() || QFileInfo(path).size() == 0)
    return platform::Result<>::failure(path + ": the report could not be written");
  return writeRecord(recordPath, recordOf(all.value()));
}

}  // namespace tessarin::analyze::report
