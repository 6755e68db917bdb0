// tessarin-analyze: offline frequency stability analysis of the runs the console records.

#include <QApplication>
#include <QFileInfo>
#include <cstdlib>
#include <exception>
#include <iostream>

#include "cli/HelpText.h"
#include "cli/Messages.h"
#include "cli/Options.h"
#include "commands/AnalysedInput.h"
#include "commands/DynamicAnalysis.h"
#include "commands/HatAnalysis.h"
#include "commands/OutlierList.h"
#include "commands/ReportVerify.h"
#include "commands/SeveralInputs.h"
#include "output/MaskSummary.h"
#include "output/OverlayLines.h"
#include "output/PlotFile.h"
#include "output/PsdPlot.h"
#include "output/PsdReport.h"
#include "output/Report.h"
#include "report/RunReport.h"

namespace analyze = tessarin::analyze;
using analyze::cli::complain;
using analyze::cli::kUnusableInput;
using analyze::cli::kUsageError;

namespace {

int plot(const analyze::cli::Options& options, const analyze::commands::AnalysedInput& input,
         int argc, char** argv) {
  // The picture goes to a file, so no display is needed; a platform chosen outside still wins.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (!options.reportPath.empty()) {
    const auto report = analyze::report::writeRunReport(options, input.file, input.runs,
                                                        QCoreApplication::arguments().mid(1));
    if (!report) {
      complain() << report.reason().toStdString() << '\n';
      return kUnusableInput;
    }
  }
  if (options.plotPath.empty()) return EXIT_SUCCESS;
  QString title = QFileInfo(QString::fromStdString(input.file.path)).fileName();
  if (input.runs.size() == 1 && !options.columns)
    title += QString::fromStdString(", " + analyze::output::runLabel(input.runs.front()));
  const QString path = QString::fromStdString(options.plotPath);
  const bool labelRuns = input.runs.size() > 1;
  const auto overlays = analyze::output::overlayLines(options, input.runs);
  if (!overlays) {
    complain() << overlays.reason().toStdString() << '\n';
    return kUnusableInput;
  }
  const auto written =
      options.psd
          ? analyze::output::writeSpectrumPlot(path, title, input.runs, labelRuns,
                                               options.statisticsGiven)
          : analyze::output::writePlot(path, title, input.runs, labelRuns, overlays.value());
  if (written) return EXIT_SUCCESS;
  complain() << written.reason().toStdString() << '\n';
  return kUnusableInput;
}

// --list, and --dynamic: what the file holds, or one series window by window.
int listOrMap(const analyze::cli::Options& options, int argc, char** argv) {
  auto input = analyze::commands::readInput(options);
  if (!input) {
    complain() << input.reason().toStdString() << '\n';
    return kUnusableInput;
  }
  const tessarin::records::InputFile& file = input.value();
  const std::vector<int> runs = analyze::commands::chosenRuns(file, options, std::cerr);
  if (runs.empty()) return kUnusableInput;
  if (!analyze::commands::reportDamage(file, runs, options.strict, std::cerr))
    return kUnusableInput;
  if (!options.list)
    return analyze::commands::analyseDynamic(options, file, runs.front(), argc, argv);
  if (!options.join) {
    analyze::output::writeRunList(std::cout, file);
    return EXIT_SUCCESS;
  }
  const auto joined = tessarin::analysis::joinRuns(file);
  if (!joined) {
    complain() << joined.reason().toStdString() << '\n';
    return kUnusableInput;
  }
  analyze::output::writeRunList(std::cout, file, joined.value().gapBefore);
  return EXIT_SUCCESS;
}

int analyse(const analyze::cli::Options& options, int argc, char** argv) {
  if (!options.hat.empty()) return analyze::commands::analyseHat(options, argc, argv);
  if (options.inputs.size() > 1) return analyze::commands::analyseSeveral(options, argc, argv);
  if (options.list || options.dynamic) return listOrMap(options, argc, argv);
  if (options.listOutliers) return analyze::commands::listOutliers(options);
  const auto input = analyze::commands::analyseInput(options, std::cerr);
  if (!input) return kUnusableInput;
  const bool masked = !options.masks.empty();
  if (options.psd && options.csv && options.spectrum.noiseFit)
    analyze::output::writeLevelsCsv(std::cout, input->runs);
  else if (options.psd && options.csv)
    analyze::output::writeSpectrumCsv(std::cout, input->runs);
  else if (options.psd)
    analyze::output::writeSpectrumTable(std::cout, input->file, input->runs);
  else if (options.csv)
    analyze::output::writeCsv(std::cout, input->runs, options.noise, masked);
  else
    analyze::output::writeTable(std::cout, input->file, input->runs, options.noise, masked);
  std::cout.flush();
  const bool maskFailed = analyze::output::writeMaskSummary(std::cerr, input->runs);
  if (!options.plotPath.empty() || !options.reportPath.empty())
    if (const int status = plot(options, *input, argc, argv); status != EXIT_SUCCESS) return status;
  return maskFailed ? analyze::cli::kMaskFailed : EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const auto options =
        analyze::cli::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options) {
      complain() << options.reason().toStdString() << " (see --help)\n";
      return kUsageError;
    }
    if (options.value().help) {
      std::cout << analyze::cli::helpText();
      return EXIT_SUCCESS;
    }
    if (options.value().version) {
      std::cout << analyze::cli::versionText();
      return EXIT_SUCCESS;
    }
    if (!options.value().verifyPath.empty())
      return analyze::commands::verifyReport(options.value().verifyPath, argc, argv);
    return analyse(options.value(), argc, argv);
  } catch (const std::exception& failure) {
    complain() << failure.what() << '\n';
    return kUnusableInput;
  }
}
