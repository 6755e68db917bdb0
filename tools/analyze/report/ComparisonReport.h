#pragma once

#include <QJsonObject>
#include <QStringList>
#include <span>
#include <vector>

#include "cli/Options.h"
#include "output/Report.h"
#include "platform/Result.h"

namespace tessarin::analyze::report {

// One input of a comparison: the options it was read with, its file and its runs analysed.
struct ComparedInput {
  cli::Options options;
  const records::InputFile* file = nullptr;
  const std::vector<output::AnalysedRun>* runs = nullptr;
};

// The JSON record of a comparison: the record each input would have alone, its inputs listed
// under "inputs" and its runs, each labelled with its file, one after another under "runs".
platform::Result<QJsonObject> comparisonRecord(std::span<const ComparedInput> inputs,
                                               const QStringList& arguments);

// Writes the report of several inputs to options.reportPath, a PDF: first the comparison, the
// plot of every trace (`traces`, named by their source) and a table of each statistic's value
// at each tau per trace; then each input's pages as its run report has them, and how each was
// made. Beside it the JSON record of comparisonRecord(). Needs a QApplication.
platform::Result<> writeComparisonReport(const cli::Options& options,
                                         std::span<const ComparedInput> inputs,
                                         const std::vector<output::AnalysedRun>& traces,
                                         const QStringList& arguments);

}  // namespace tessarin::analyze::report
