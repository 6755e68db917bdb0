#include "commands/SeveralInputs.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>

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

int drawTraces(const cli::Options& options, const std::vector<output::AnalysedRun>& traces,
               int argc, char** argv) {
  // The picture goes to a file, so no display is needed; a platform chosen outside still wins.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const QApplication application(argc, argv);
  const auto overlays = output::overlayLines(options, traces);
  if (!overlays) {
    complain() << overlays.reason().toStdString() << '\n';
    return cli::kUnusableInput;
  }
  const QString title = QStringLiteral("%1 inputs compared").arg(traces.size());
  const auto written = output::writePlot(QString::fromStdString(options.plotPath), title, traces,
                                         false, overlays.value());
  if (written) return EXIT_SUCCESS;
  complain() << written.reason().toStdString() << '\n';
  return cli::kUnusableInput;
}

}  // namespace

int analyseSeveral(const cli::Options& options, int argc, char** argv) {
  std::vector<AnalysedInput> inputs;
  bool inputLeftOut = false;
  for (const std::string& path : options.inputs) {
    auto input = analyseInput(optionsFor(options, path), std::cerr);
    if (!input) {
      inputLeftOut = true;
      continue;
    }
    for (output::AnalysedRun& analysed : input->runs)
      analysed.source =
          input->file.runs.size() > 1 ? path + " run " + std::to_string(analysed.index) : path;
    inputs.push_back(std::move(*input));
  }
  std::size_t traceCount = 0;
  for (const AnalysedInput& input : inputs) traceCount += input.runs.size();
  if (traceCount == 0) return cli::kUnusableInput;
  if (traceCount > static_cast<std::size_t>(cli::kMostTracesShown) && !options.csv) {
    complain() << traceCount << " inputs (files and runs): one picture and table compare up to "
               << cli::kMostTracesShown << "; more only with --csv\n";
    return cli::kUsageError;
  }
  if (!options.csv)
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      if (i > 0) std::cout << '\n';
      output::writeTable(std::cout, inputs[i].file, inputs[i].runs, options.noise, false);
    }
  // The runs point into their files, which stay where they are in `inputs`.
  std::vector<output::AnalysedRun> traces;
  for (AnalysedInput& input : inputs)
    for (output::AnalysedRun& analysed : input.runs) traces.push_back(std::move(analysed));
  if (options.csv) output::writeCsv(std::cout, traces, options.noise, false);
  std::cout.flush();
  if (!options.plotPath.empty())
    if (const int status = drawTraces(options, traces, argc, argv); status != EXIT_SUCCESS)
      return status;
  return inputLeftOut ? cli::kUnusableInput : EXIT_SUCCESS;
}

}  // namespace tessarin::analyze::commands
