#pragma once

#include <QJsonObject>
#include <QStringList>
#include <vector>

#include "analysis/CorneredHat.h"
#include "cli/Options.h"
#include "output/HatTable.h"
#include "platform/Result.h"

namespace tessarin::analyze::report {

// The JSON record of a hat report: how it was made, every pair file's path and fingerprint
// ("inputs"), and the hat as one entry of "runs" (its layout, methods, span, pair files and rows,
// each figure as a JSON number that reads back as the same double, none as null), as --verify
// compares it. Reads every pair file again for its fingerprint and the program's file for its
// build; fails when one cannot be read.
platform::Result<QJsonObject> hatRecord(const cli::Options& options,
                                        const analysis::CorneredHat& hat,
                                        const std::vector<output::HatPairFacts>& pairs,
                                        std::int64_t sharedPoints, const QStringList& arguments);

// Writes the hat's report to options.reportPath, a PDF: the facts of every pair file, the span
// they share, the layout and the methods, the plot and the table; at the end how the analysis was
// made. Beside it, under the same name ending in .json, hatRecord(). Needs a QApplication
// (offscreen will do).
platform::Result<> writeHatReport(const cli::Options& options, const analysis::CorneredHat& hat,
                                  const std::vector<output::HatPairFacts>& pairs,
                                  std::int64_t sharedPoints, const QStringList& arguments);

}  // namespace tessarin::analyze::report
