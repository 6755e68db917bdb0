#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "cli/Options.h"
#include "output/Report.h"
#include "platform/Result.h"
#include "report/ReportFacts.h"
#include "report/ReportPages.h"

namespace tessarin::analyze::report {

// Writes the run report of `runs` to options.reportPath, a PDF: per run its facts, the data plot,
// the stability plot with its noise types, the table and the drift; at the end how the analysis
// was made (version, command line, date, the input's SHA-256). Beside it, under the same name
// ending in .json, the same figures in full precision and what --verify needs. Needs a
// QApplication (offscreen will do).
platform::Result<> writeRunReport(const cli::Options& options, const records::InputFile& file,
                                  const std::vector<output::AnalysedRun>& runs,
                                  const QStringList& arguments);

// The pages of one run of a report: its facts, data plot, stability plot, masks' verdicts, table
// and spectrum.
void writeRun(Pages& pages, const RunFacts& facts, const ReportFacts& report);

// "How this analysis was made": program, build, command line, folder, date, the input and its
// SHA-256, the conditioning asked and what it did to each run, and the JSON record's name.
void writeProvenance(Pages& pages, const ReportFacts& report, const QString& recordPath);

// The JSON record beside the report `pdfPath`: report.pdf gives report.json.
QString recordPathFor(const QString& pdfPath);

}  // namespace tessarin::analyze::report
