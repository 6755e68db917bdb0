#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/JoinedRuns.h"
#include "records/ColumnReader.h"
#include "records/DatReader.h"
#include "run/DataFile.h"

namespace tessarin::records {
namespace {

std::string runText(const char* time, const std::string& samples) {
  const run::RunHeader header{"osc.DAT", "06/12/2026", "09:14:02",          10e6,
                              1000,      true,         run::Quantity::Phase};
  std::string text = run::formatRunHeader(header).toStdString();
  text.replace(text.find("09:14:02"), 8, time);
  return text + samples;
}

// The line each sample of the run lies on, in order; 0 for none.
std::vector<std::int64_t> linesOf(const RecordedRun& run) {
  std::vector<std::int64_t> lines;
  for (std::size_t k = 0; k < run.samples.size(); ++k)
    lines.push_back(lineOfSample(run, static_cast<std::int64_t>(k)));
  return lines;
}

TEST(SampleLines, NameTheLineOfEverySampleGapsAndJoinedRunsIncluded) {
  const std::string one = run::formatSampleLine(1e-9).toStdString();
  const InputFile column = parseColumnText(
      "c.txt", "# MJD, phase\n1e-9\n\n2e-9\nfoo\n3e-9\n# a note\n4e-9", run::Quantity::Phase, 1);
  // Header on lines 7 to 13; an empty line and garbage among the samples are gaps in place.
  const InputFile dat =
      parseDatText("osc.DAT", runText("09:14:02", one + "\r\n" + one + "garbage\r\n" + one));
  const InputFile two =
      parseDatText("osc.DAT", runText("09:14:02", one + one) + runText("09:14:05", one));
  const auto joined = analysis::joinRuns(two);
  ASSERT_TRUE(joined);
  const struct {
    const char* label;
    const RecordedRun& run;
    std::vector<std::int64_t> lines;
  } cases[] = {
      {"column file, comments and an empty line between", column.runs.at(0), {2, 4, 5, 6, 8}},
      {"a run with an empty and a damaged line", dat.runs.at(0), {14, 15, 16, 17, 18}},
      {"the second run of a file", two.runs.at(1), {29}},
      {"two runs joined, a gap sample between", joined.value().series, {14, 15, 0, 29}},
  };
  for (const auto& t : cases) EXPECT_EQ(linesOf(t.run), t.lines) << t.label;
}

}  // namespace
}  // namespace tessarin::records
