#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <limits>

#include "app/runs/RunFixture.h"
#include "run/DataFile.h"

namespace tessarin::test {
namespace {

using run::DataFile;

TEST(formatSampleLine, WritesSignMagnitudeTrailingSpaceAndLineEnd) {
  const struct {
    double value;
    const char* line;
  } cases[] = {
      {1.25e-11, " 1.25E-11 \r\n"},
      {-3.5e-12, "-3.5E-12 \r\n"},
      {1.5e-11, " 1.5E-11 \r\n"},
      {0.0, " 0 \r\n"},
      {-0.0, " 0 \r\n"},
      {0.5, " 0.5 \r\n"},
      {-0.5, "-0.5 \r\n"},
      {0.1, " 0.1 \r\n"},
      {0.0999999999999999999, " 0.1 \r\n"},
      {0.09, " 9E-02 \r\n"},
      {2e-5, " 2E-05 \r\n"},
      {123.456, " 123.456 \r\n"},
      {1.0 / 3.0, " 0.333333333333333 \r\n"},
      {-1.234567890123456789e-10, "-1.23456789012346E-10 \r\n"},
      {999999999999999.0, " 999999999999999 \r\n"},
      {1e15, " 1E+15 \r\n"},
      {1e-100, " 1E-100 \r\n"},
      {std::numeric_limits<double>::denorm_min(), " 4.94065645841247E-324 \r\n"},
      {std::numeric_limits<double>::quiet_NaN(), " NaN \r\n"},
      {std::numeric_limits<double>::infinity(), " Inf \r\n"},
      {-std::numeric_limits<double>::infinity(), "-Inf \r\n"},
  };
  for (const auto& t : cases) {
    EXPECT_EQ(run::formatSampleLine(t.value), QByteArray(t.line)) << t.value;
    // The recorder appends the line to the ones still waiting.
    QByteArray waiting = " 1 \r\n";
    run::appendSampleLine(t.value, waiting);
    EXPECT_EQ(waiting, " 1 \r\n" + QByteArray(t.line)) << t.value;
  }
}

TEST(formatPlainDecimal, WritesUpToFifteenSignificantDigitsWithoutExponentOrGrouping) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {10000000, "10000000"},
      {10000000.12346, "10000000.12346"},
      {10000000.1, "10000000.1"},
      {5000000.000001, "5000000.000001"},
      {31000000.123456789, "31000000.1234568"},
      {0, "0"},
      {0.05, "0.05"},
      {-1250000.5, "-1250000.5"},
  };
  for (const auto& t : cases)
    EXPECT_EQ(run::formatPlainDecimal(t.value), QString(t.text)) << t.value;
}

TEST(formatRunHeader, NamesFileDateTimeFrequencyTauModeAndData) {
  const struct {
    double dutHz, tauMs;
    bool filtered;
    run::Quantity stored;
    const char* expected;
  } cases[] = {
      {10000000, 1000, true, run::Quantity::Frequency,
       "\r\n\r\n\r\n\r\n\r\n\r\n/data/osc1.DAT\tDate  07/12/2026\tTime  09:14:02\r\n\r\n"
       "DUT Frequency :  10000000 Hz\tTau :  1000.0 ms\r\n\r\n"
       "Mode :   Filtered\r\nData :   Frequency Data\r\n\r\n"},
      {10000000.12346, 200, false, run::Quantity::Phase,
       "\r\n\r\n\r\n\r\n\r\n\r\n/data/osc1.DAT\tDate  07/12/2026\tTime  09:14:02\r\n\r\n"
       "DUT Frequency :  10000000.12346 Hz\tTau :  200.0 ms\r\n\r\n"
       "Mode :   Non-Filtered\r\nData :   Phase Data\r\n\r\n"},
  };
  for (const auto& t : cases) {
    const run::RunHeader header{"/data/osc1.DAT", "07/12/2026", "09:14:02", t.dutHz,
                                t.tauMs,          t.filtered,   t.stored};
    EXPECT_EQ(run::formatRunHeader(header), QByteArray(t.expected));
  }
}

class DataFileTest : public RunFixture {};

TEST_F(DataFileTest, AppendCreatesTheFileAndAddsAfterEarlierContent) {
  DataFile file(pathOf("a.DAT"));
  EXPECT_TRUE(file.chosen());
  ASSERT_TRUE(file.append("first\r\n"));
  ASSERT_TRUE(file.append("second\r\n"));
  EXPECT_EQ(readFile("a.DAT"), "first\r\nsecond\r\n");
}

TEST_F(DataFileTest, FailedAppendNamesThePathAndTheReasonAndTouchesNoOtherFile) {
  DataFile good(pathOf("osc1.DAT"));
  ASSERT_TRUE(good.append(" 1E-11 \r\n"));
  ASSERT_TRUE(QDir(folder()).mkdir("adir"));
  // A directory, a folder that does not exist, and a device that is always full.
  QStringList unwritable{pathOf("adir"), pathOf("missing/osc1.DAT")};
  if (QFile::exists("/dev/full")) unwritable << "/dev/full";
  for (const QString& bad : unwritable) {
    const platform::Result<> appended = DataFile(bad).append(" 2E-11 \r\n");
    ASSERT_FALSE(appended) << bad.toStdString();
    EXPECT_TRUE(appended.reason().startsWith(bad + ": ")) << appended.reason().toStdString();
    EXPECT_GT(appended.reason().size(), (bad + ": ").size());
  }
  const platform::Result<> none = DataFile().append(" 3E-11 \r\n");
  ASSERT_FALSE(none);
  EXPECT_EQ(none.reason(), "no data file chosen");
  EXPECT_FALSE(DataFile().chosen());

  EXPECT_EQ(dataFile(), " 1E-11 \r\n");
  EXPECT_FALSE(QFile::exists(pathOf("missing")));
}

TEST_F(DataFileTest, EachRunAppendsItsHeaderAndSampleLinesAfterEarlierContent) {
  writeFile("osc1.DAT", "earlier measurement\r\n");
  app::Console& c = initializedConsole();
  const link::DutFrequencies& f = c.initialization().frequencies();
  // Equal readings: each sample is the programmed frequency's offset from the measured one.
  const QByteArray sample = run::formatSampleLine(-(f.measured - f.programmed) / f.measured);
  const auto header = [this](const char* time, const char* data) {
    return "\r\n\r\n\r\n\r\n\r\n\r\n" + pathOf("osc1.DAT").toUtf8() + "\tDate  07/12/2026\tTime  " +
           time + "\r\n\r\nDUT Frequency :  10000000.00168 Hz\tTau :  1000.0 ms\r\n\r\n" +
           "Mode :   Non-Filtered\r\nData :   " + data + "\r\n\r\n";
  };

  c.menus().startStop.click();
  feed({"00000040", "00000040", "00000040"});
  c.menus().startStop.click();
  clock.clockTime = "10:00:00";
  c.menus().phaseData.click();
  c.menus().startStop.click();
  feed({"00000040", "00000040"});
  c.menus().startStop.click();

  EXPECT_EQ(dataFile().toStdString(),
            ("earlier measurement\r\n" + header("09:14:02", "Frequency Data") + sample + sample +
             header("10:00:00", "Phase Data") + sample)
                .toStdString());
}

TEST_F(DataFileTest, SuccessfulWriteLeavesOtherStatusTextsAlone) {
  app::Console& c = initializedConsole();
  serial.writeError = "Input/output error";
  c.menus().startStop.click();
  feed({"00000000", "00000000"});
  EXPECT_EQ(c.status(), "Command not sent: PH05: Input/output error");
  EXPECT_EQ(dataFile().count("\r\n"), 14);  // the header's 13 lines and one sample line
}

TEST_F(DataFileTest, SaveDialogChoosesTheFileAndInitializationNeedsOne) {
  app::Console& c = startConsole();
  EXPECT_FALSE(c.menus().initialization.enabled());

  c.menus().saveFileAs.click();  // cancelled
  ASSERT_EQ(dialogs.saveRequests.size(), 1u);
  EXPECT_EQ(dialogs.saveRequests[0].title, "Save .DAT file as");
  EXPECT_EQ(dialogs.saveRequests[0].filter, "*.DAT");
  EXPECT_EQ(dialogs.saveRequests[0].defaultExt, "DAT");
  EXPECT_FALSE(c.menus().initialization.enabled());

  dialogs.saveAnswers.push_back(pathOf("a.DAT"));
  c.menus().saveFileAs.click();
  EXPECT_TRUE(c.menus().initialization.enabled());

  // Once the initialization has begun, a new file leaves "&Initialization" disabled.
  c.menus().com2.click();
  c.menus().initialization.click();
  EXPECT_FALSE(c.menus().initialization.enabled());
  dialogs.saveAnswers.push_back(pathOf("b.DAT"));
  c.menus().saveFileAs.click();
  EXPECT_EQ(dialogs.saveRequests.back().initialPath, pathOf("a.DAT"));
  EXPECT_FALSE(c.menus().initialization.enabled());

  c.menus().saveFileAs.click();  // cancelled
  c.menus().saveFileAs.click();
  EXPECT_EQ(dialogs.saveRequests.back().initialPath, pathOf("b.DAT"));
}

}  // namespace
}  // namespace tessarin::test
