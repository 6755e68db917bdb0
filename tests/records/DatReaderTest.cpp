#include <gtest/gtest.h>

#include <QDate>
#include <cmath>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "records/ColumnReader.h"
#include "records/DatReader.h"
#include "records/HeaderTime.h"
#include "run/DataFile.h"
#include "support/ExpectSamples.h"

namespace tessarin::records {
namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

std::string header(run::Quantity stored, double tauMs = 1000) {
  run::RunHeader h;
  h.path = "/data/osc1.DAT";
  h.date = "06/12/2026";
  h.time = "09:14:02";
  h.dutHz = 10000000.12346;
  h.tauMs = tauMs;
  h.filtered = true;
  h.stored = stored;
  return run::formatRunHeader(h).toStdString();
}

using test::expectSamples;

// The header of one run takes lines 1 to 13; its first sample line is line 14.
TEST(DatReader, TakesADamagedSampleLineAsAGapInItsPlaceAndReportsItsLine) {
  const struct {
    const char* label;
    std::string samples;
    std::vector<double> expected;
    std::vector<std::int64_t> damagedLines;
  } cases[] = {
      {"whole lines", " 1.5E-11 \r\n-2E-05 \r\n 0.25 \r\n", {1.5e-11, -2e-5, 0.25}, {}},
      {"garbage", " 1 \r\nxq#7\r\n 3 \r\n", {1, kGap, 3}, {15}},
      {"digits cut before the trailing space", " 1 \r\n 2.71\r\n 3 \r\n", {1, kGap, 3}, {15}},
      {"last line cut short, no line end", " 1 \r\n 2 \r\n 3.1", {1, 2, kGap}, {16}},
      {"empty lines among the samples", " 1 \r\n\r\n\r\n 4 \r\n", {1, kGap, kGap, 4}, {15, 16}},
      {"empty lines after the last sample", " 1 \r\n 2 \r\n\r\n\r\n", {1, 2}, {}},
      {"the console's own gap", " 1 \r\n NaN \r\n 3 \r\n", {1, kGap, 3}, {}},
      {"an infinity", " 1 \r\n-Inf \r\n", {1, kGap}, {15}},
      {"NUL bytes of a power cut", " 1 \r\n" + std::string(5, '\0'), {1, kGap}, {15}},
      {"decimal comma, no leading zero", " 1,5E-11 \r\n-.5 \r\n", {1.5e-11, -0.5}, {}},
      {"line ends without CR", " 1 \n 2 \n", {1, 2}, {}},
  };
  for (const auto& t : cases) {
    const InputFile file = parseDatText("f.DAT", header(run::Quantity::Phase) + t.samples);
    ASSERT_EQ(file.runs.size(), 1u) << t.label;
    expectSamples(file.runs[0].samples, t.expected, t.label);
    std::vector<std::int64_t> lines;
    for (const DamagedLine& d : file.damaged) lines.push_back(d.line);
    EXPECT_EQ(lines, t.damagedLines) << t.label;
  }
}

TEST(DatReader, ReadsEveryRunHeaderOfAFileTheConsoleAppendedTo) {
  const InputFile file = parseDatText(
      "f.DAT", header(run::Quantity::Frequency, 10000) + " 1E-11 \r\n" +
                   header(run::Quantity::Phase, 500) + "garbage before any sample\r\n 2 \r\n");
  ASSERT_EQ(file.runs.size(), 2u);
  const RecordedRun& first = file.runs[0];
  EXPECT_EQ(first.headerLine, 7);
  EXPECT_EQ(first.date, "06/12/2026");
  EXPECT_EQ(first.time, "09:14:02");
  EXPECT_EQ(first.dutHz, 10000000.12346);
  EXPECT_EQ(first.tauSeconds, 10.0);
  EXPECT_EQ(first.mode, "Filtered");
  EXPECT_EQ(first.quantity, run::Quantity::Frequency);
  EXPECT_EQ(file.runs[1].tauSeconds, 0.5);
  EXPECT_EQ(file.runs[1].quantity, run::Quantity::Phase);
  expectSamples(file.runs[1].samples, {kGap, 2}, "second run");
  ASSERT_EQ(file.damaged.size(), 1u);
  EXPECT_EQ(file.damaged[0].run, 2);
}

TEST(DatReader, FindsNoRunInAFileWithoutARunHeader) {
  const InputFile file = parseDatText("f.DAT", "# PHASE.DAT\r\n 0.5 \r\n");
  EXPECT_TRUE(file.runs.empty());
  ASSERT_EQ(file.damaged.size(), 2u);
  EXPECT_EQ(file.damaged[1].line, 2);
}

// A run as the console records it, written with the console's own formatting: its Allan
// deviation from the file is the console's own, from the console's phase series x_1 .. x_N, to
// the 15 significant digits that the file keeps of each sample.
TEST(ColumnReader, ReadsOneOrTwoColumnsWithCommentsAndTakesOtherLinesAsGaps) {
  const InputFile file = parseColumnText("c.txt",
                                         "# from a counter\n"
                                         "1.5e-11\n"
                                         "\n"
                                         "60000.5 -2E-12  # MJD and value\r\n"
                                         "NaN\n"
                                         "60000.6 abc\n"
                                         "1 2 3\n"
                                         "+4",
                                         run::Quantity::Frequency, 10);
  ASSERT_EQ(file.runs.size(), 1u);
  EXPECT_EQ(file.runs[0].tauSeconds, 10.0);
  expectSamples(file.runs[0].samples, {1.5e-11, -2e-12, kGap, kGap, kGap, 4}, "columns");
  std::vector<std::int64_t> lines;
  for (const DamagedLine& d : file.damaged) lines.push_back(d.line);
  EXPECT_EQ(lines, (std::vector<std::int64_t>{6, 7}));
}

TEST(DamagedLines, KeepsTheFirstThousandInFullThenTheFirstOfEachRunAndCountsTheRest) {
  std::string junk;
  for (int k = 0; k < 1200; ++k) junk += "junk\r\n";
  const InputFile columns = parseColumnText("c.txt", junk + junk, run::Quantity::Phase, 1);
  EXPECT_EQ(columns.runs.at(0).samples.size(), 2400u);
  EXPECT_EQ(columns.damaged.size(), kKeptDamage);
  EXPECT_EQ(columns.damaged.back().line, 1000);
  EXPECT_EQ(unkeptDamage(columns, 1).lines, 1400);
  EXPECT_EQ(unkeptDamage(columns, 1).gaps, 1400);

  const std::string run = header(run::Quantity::Phase);
  const InputFile dat = parseDatText("f.DAT", run + junk + run + "junk\r\n 1 \r\njunk\r\n");
  ASSERT_EQ(dat.damaged.size(), kKeptDamage + 1);
  EXPECT_EQ(dat.damaged.back().run, 2);
  EXPECT_EQ(dat.damaged.back().line, 1213 + 1 + 13);
  EXPECT_EQ(dat.damaged.back().text, "junk");
  EXPECT_EQ(unkeptDamage(dat, 1).lines, 200);
  EXPECT_EQ(unkeptDamage(dat, 2).lines, 1);
  EXPECT_EQ(unkeptDamage(dat, 3).lines, 0);
  EXPECT_EQ(dat.runs.at(1).samples.size(), 3u);
}

// A run of `values` as the console writes it, started at `date` `time`, tau 1 s unless changed.
TEST(HeaderTime, ReadsTheHeaderDateInEveryShortFormTheConsoleWrites) {
  const QDate december7(2026, 12, 7);
  const struct {
    const char* text;
    QDate expected;  // invalid: cannot be read
  } cases[] = {
      {"7 Dec 2026", december7},   {"07/12/2026", december7},
      {"7/12/26", december7},      {"07.12.2026", december7},
      {"7-12-2026", december7},    {"2026-12-07", december7},
      {"29.02.24", {2024, 2, 29}}, {"31/02/2026", {}},
      {"12/31/2026", {}},          {"7/12/026", {}},
      {"Dec 7 2026", {}},          {"", {}},
  };
  for (const auto& t : cases) EXPECT_EQ(headerDate(t.text).value_or(QDate()), t.expected) << t.text;
}

}  // namespace
}  // namespace tessarin::records
