#include "commands/SeveralInputs.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <utility>

#include "cli/Messages.h"
#include "commands/AnalysedInput.h"
#include "output/OverlayLines.h"
#include "output/PlotFile.h"
#include "output/Report.h"

namespace tessarin::analyze::commands {

namespace {

using cli::complain;

// The options of one input: a .DAT file among column files is read as a .DAT file.
cli::Options optionsFor(const cli::Options& options, const std::string& path) {
  cli::Options one = options;
  one.input = path;
  if (cli::isDatName(path)) {
    one.columns.reset();
    one.tau0.reset();
  }
  return one;
}

int drawTraces(const cli::Options& options, const ComparedInputs& compared, int argc, char** argv) {
  // The picture goes to a file, so no display is needed; a platform chosen outside still wins.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const QApplication application(argc, argv);
  if (!options.reportPath.empty()) {
    const auto report = report::writeComparisonReport(
        options, compared.forReport(), compared.traces, QCoreApplication::arguments().mid(1));
    if (!report) {
      complain() << report.reason().toStdString() << '\n';
      return cli::kUnusableInput;
    }
  }
  if (options.plotPath.empty()) return EXIT_SUCCESS;
  const auto overlays = output::overlayLines(options, compared.traces);
  if (!overlays) {
    complain() << overlays.reason().toStdString() << '\n';
    return cli::kUnusableInput;
  }
  const QString title = QStringLiteral("%1 inputs compared").arg(compared.traces.size());
  const auto written = output::writePlot(QString::fromStdString(options.plotPath), title,
                                         compared.traces, false, overlays.value());
  if (written) return EXIT_SUCCESS;
  complain() << written.reason().toStdString() << '\n';
  return cli::kUnusableInput;
}

}  // namespace

std::vector<report::ComparedInput> ComparedInputs::forReport() const {
  std::vector<report::ComparedInput> compared;
  for (std::size_t i = 0; i < inputs.size(); ++i)
    compared.push_back({options[i], &inputs[i].file, &inputs[i].runs});
  return compared;
}

std::optional<ComparedInputs> analyseEach(const cli::Options& options, std::ostream& messages) {
  ComparedInputs compared;
  for (const std::string& path : options.inputs) {
    cli::Options one = optionsFor(options, path);
    auto input = analyseInput(one, messages);
    if (!input) {
      compared.inputLeftOut = true;
      continue;
    }
    for (output::AnalysedRun& analysed : input->runs) {
      analysed.source =
          input->file.runs.size() > 1 ? path + " run " + std::to_string(analysed.index) : path;
      compared.traces.push_back(analysed);
    }
    compared.inputs.push_back(std::move(*input));
    compared.options.push_back(std::move(one));
  }
  if (compared.traces.empty()) return std::nullopt;
  return compared;
}

int analyseSeveral(const cli::Options& options, int argc, char** argv) {
  const auto compared = analyseEach(options, std::cerr);
  if (!compared) return cli::kUnusableInput;
  const std::size_t traceCount = compared->traces.size();
  if (traceCount > static_cast<std::size_t>(cli::kMostTracesShown) && !options.csv) {
    complain() << traceCount << " inputs (files and runs): one picture and table compare up to "
               << cli::kMostTracesShown << "; more only with --csv\n";
    return cli::kUsageError;
  }
  if (options.csv) {
    output::writeCsv(std::cout, compared->traces, options.noise, false);
  } else {
    bool first = true;
    for (const AnalysedInput& input : compared->inputs) {
      if (!std::exchange(first, false)) std::cout << '\n';
      output::writeTable(std::cout, input.file, input.runs, options.noise, false);
    }
  }
  std::cout.flush();
  if (!options.plotPath.empty() || !options.reportPath.empty())
    if (const int status = drawTraces(options, *compared, argc, argv); status != EXIT_SUCCESS)
      return status;
  return compared->inputLeftOut ? cli::kUnusableInput : EXIT_SUCCESS;
}

}  // namespace tessarin::analyze::commands
