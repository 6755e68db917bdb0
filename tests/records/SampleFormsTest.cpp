// Which ways of writing a number each reader takes, and what it makes of the rest: the forms other
// programs and the console's own builds have written, and the near misses a damaged file holds.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "records/ColumnReader.h"
#include "records/DatReader.h"
#include "run/DataFile.h"

namespace tessarin::records {
namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();
constexpr const char* kTaken = "";

struct Form {
  std::string line;    // without its line end
  double value;        // the sample it makes; kGap for a gap
  const char* damage;  // why it is damaged; kTaken when it is not
};

// The one line's sample and damage, or a note of what differs.
void expectRead(const InputFile& file, const Form& form) {
  const std::string label = "'" + printable(form.line) + "'";
  ASSERT_EQ(file.runs.size(), 1u) << label;
  const auto& samples = file.runs[0].samples;
  ASSERT_EQ(samples.size(), 1u) << label;
  if (std::isnan(form.value))
    EXPECT_TRUE(std::isnan(samples[0])) << label << " gave " << samples[0];
  else
    EXPECT_EQ(samples[0], form.value) << label;
  const std::string reason = file.damaged.empty() ? kTaken : file.damaged[0].reason;
  EXPECT_EQ(reason, form.damage) << label;
  EXPECT_LE(file.damaged.size(), 1u) << label;
}

TEST(SampleForms, ColumnFileTakesWhatFromCharsTakesAfterAnOptionalPlus) {
  const Form forms[] = {
      {"1.5e-11", 1.5e-11, kTaken},
      {"-2.3E+00", -2.3, kTaken},
      {"+4", 4, kTaken},
      {"   +4", 4, kTaken},
      {"\t\v\f7\r", 7, kTaken},
      {".5", 0.5, kTaken},
      {"-.5", -0.5, kTaken},
      {"5.", 5, kTaken},
      {"1e100", 1e100, kTaken},
      {"1e-320", 1e-320, kTaken},
      {"60000.5 -2E-12  # MJD and value", -2e-12, kTaken},
      {"60000.5,-2E-12", -2e-12, kTaken},
      {"60000.5;-2E-12", -2e-12, kTaken},
      {"1,5", 5, kTaken},
      {"+-1", -1, kTaken},
      {"NaN", kGap, kTaken},
      {"nan", kGap, kTaken},
      {"NAN", kGap, kTaken},
      {"-nan", kGap, kTaken},
      {"Nan", kGap, "not a number"},
      {"+NaN", kGap, "not a number"},
      {"inf", kGap, "not a number"},
      {"-inf", kGap, "not a number"},
      {"1e999", kGap, "not a number"},
      {"0x1p3", kGap, "not a number"},
      {"1e", kGap, "not a number"},
      {"1.5e-11x", kGap, "not a number"},
      {"--1", kGap, "not a number"},
      {"++1", kGap, "not a number"},
      {"e5", kGap, "not a number"},
      {std::string("1\0", 2), kGap, "not a number"},
      {"abc 1", kGap, "not a number"},
      {"1 2 3", kGap, "more than two columns"},
      {"2e100", kGap, "sample beyond 1e100, where the statistics would overflow"},
      {"-1e101", kGap, "sample beyond 1e100, where the statistics would overflow"},
  };
  for (const Form& form : forms)
    expectRead(parseColumnText("c.txt", form.line + "\n", run::Quantity::Phase, 1), form);
}

TEST(SampleForms, DatFileTakesTheConsolesSampleLineWithAPointOrAComma) {
  run::RunHeader header;
  header.path = "f.DAT";
  header.date = "06/12/2026";
  header.time = "09:14:02";
  header.dutHz = 10e6;
  header.tauMs = 1000;
  header.stored = run::Quantity::Phase;
  const std::string head = run::formatRunHeader(header).toStdString();
  const Form forms[] = {
      {" 1.5E-11 ", 1.5e-11, kTaken},
      {"-2E-05 ", -2e-5, kTaken},
      {" 1,5E-11 ", 1.5e-11, kTaken},
      {"-,5 ", kGap, "not a sample line"},
      {" .5 ", 0.5, kTaken},
      {" 1e5 ", 1e5, kTaken},
      {" 12 ", 12, kTaken},
      {" 1.2345678901234E-11 ", 1.2345678901234e-11, kTaken},
      {" NaN ", kGap, kTaken},
      {"-NaN ", kGap, kTaken},
      {" nan ", kGap, "not a sample line"},
      {" Inf ", kGap, "infinite sample value"},
      {"-Inf ", kGap, "infinite sample value"},
      {" 1E+400 ", kGap, "not a sample line"},
      {" 2E+100 ", kGap, "sample beyond 1e100, where the statistics would overflow"},
      {" +1 ", kGap, "not a sample line"},
      {"  1 ", kGap, "not a sample line"},
      {" 1", kGap, "not a sample line"},
      {" 1\t", kGap, "not a sample line"},
      {"1 ", kGap, "not a sample line"},
      {" 1,5,0 ", kGap, "not a sample line"},
      {" 1,5.0 ", kGap, "not a sample line"},
      {" 1.5e-11x ", kGap, "not a sample line"},
      {" -1 ", kGap, "not a sample line"},
  };
  for (const Form& form : forms) expectRead(parseDatText("f.DAT", head + form.line + "\r\n"), form);
}

}  // namespace
}  // namespace tessarin::records
