#include <gtest/gtest.h>

#include <QDir>
#include <cmath>
#include <limits>

#include "run/DataFile.h"
#include "support/ConsoleFixture.h"

namespace {

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
  for (const auto& c : cases) EXPECT_EQ(formatSampleLine(c.value), QByteArray(c.line)) << c.value;
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
  for (const auto& c : cases) EXPECT_EQ(formatPlainDecimal(c.value), QString(c.text)) << c.value;
}

class DataFileTest : public ConsoleFixture {
 protected:
  void SetUp() override {
    Console& c = startUp();
    c.st.strDataFile = pathOf("osc1.DAT");
    c.st.dblDutFreq = 10000000;
    c.st.dblTauMs = 1000;
    c.menus.filtered.setChecked(true);
    c.menus.frequencyData.setChecked(true);
    c.menus.normalize.setChecked(false);
  }

  QByteArray header(const QByteArray& frequency, const QByteArray& tau, const QByteArray& mode,
                    const QByteArray& data) const {
    return "\r\n\r\n\r\n\r\n\r\n\r\n" + pathOf("osc1.DAT").toUtf8() +
           "\tDate  07/12/2026\tTime  09:14:02\r\n\r\nDUT Frequency :  " + frequency +
           " Hz\tTau :  " + tau + " ms\r\n\r\nMode :   " + mode + "\r\nData :   " + data +
           "\r\n\r\n";
  }
  QByteArray dataFile() const { return readFile("osc1.DAT"); }
};

TEST_F(DataFileTest, HeaderAndSampleLinesAreWrittenByteForByte) {
  Console& c = *console;
  ASSERT_TRUE(writeRunHeader(c));
  ASSERT_TRUE(writeSampleLine(c, 1.25e-11));
  ASSERT_TRUE(writeSampleLine(c, -3.5e-12));
  EXPECT_EQ(dataFile(), header("10000000", "1000.0", "Filtered", "Frequency Data") +
                            " 1.25E-11 \r\n-3.5E-12 \r\n");
}

TEST_F(DataFileTest, HeaderFollowsTheChoicesAtTheStartOfTheRun) {
  Console& c = *console;
  c.menus.filtered.setChecked(false);
  c.menus.nonFiltered.setChecked(true);
  c.menus.frequencyData.setChecked(false);
  c.menus.phaseData.setChecked(true);
  c.menus.normalize.setChecked(true);
  // The run start has already cut a typed 10000000.123456 to five decimals.
  c.st.dblNominalDut = 10000000.12346;
  c.st.dblTauMs = 200;
  ASSERT_TRUE(writeRunHeader(c));
  EXPECT_EQ(dataFile(), header("10000000.12346", "200.0", "Non-Filtered", "Phase Data"));
}

TEST_F(DataFileTest, TwoRunsAppendTwoHeaderBlocksAfterEarlierContent) {
  Console& c = *console;
  writeFile("osc1.DAT", "earlier measurement\r\n");
  ASSERT_TRUE(writeRunHeader(c));
  ASSERT_TRUE(writeSampleLine(c, 0.5));
  clock.clockTime = "10:00:00";
  ASSERT_TRUE(writeRunHeader(c));
  ASSERT_TRUE(writeSampleLine(c, -0.5));

  QByteArray secondHeader = header("10000000", "1000.0", "Filtered", "Frequency Data");
  secondHeader.replace("09:14:02", "10:00:00");
  EXPECT_EQ(dataFile(), "earlier measurement\r\n" +
                            header("10000000", "1000.0", "Filtered", "Frequency Data") +
                            " 0.5 \r\n" + secondHeader + "-0.5 \r\n");
}

TEST_F(DataFileTest, UnwritableLocationIsReportedAndKeepsEarlierLines) {
  Console& c = *console;
  ASSERT_TRUE(writeSampleLine(c, 1e-11));
  const QString good = c.st.strDataFile;
  ASSERT_TRUE(QDir(folder()).mkdir("adir"));

  // A directory, a folder that does not exist, and a device that is always full.
  QStringList unwritable{pathOf("adir"), pathOf("missing/osc1.DAT")};
  if (QFile::exists("/dev/full")) unwritable << "/dev/full";
  for (const QString& bad : unwritable) {
    c.st.intRunState = 1;
    c.setStatus("Running...");
    c.st.strDataFile = bad;
    EXPECT_FALSE(writeRunHeader(c)) << bad.toStdString();
    EXPECT_FALSE(writeSampleLine(c, 2e-11));
    EXPECT_TRUE(c.status().startsWith("Data file not written: " + bad + ": "))
        << c.status().toStdString();
    EXPECT_GT(c.status().size(), ("Data file not written: " + bad + ": ").size());

    c.st.strDataFile = good;
    EXPECT_TRUE(writeSampleLine(c, 3e-11));
    EXPECT_EQ(c.status(), "Running...");
  }
  c.st.strDataFile.clear();
  EXPECT_FALSE(writeSampleLine(c, 4e-11));
  EXPECT_EQ(c.status(), "Data file not written: no data file chosen");

  EXPECT_EQ(dataFile(), " 1E-11 \r\n" + QByteArray(" 3E-11 \r\n").repeated(unwritable.size()));
  EXPECT_FALSE(QFile::exists(pathOf("missing")));
}

TEST_F(DataFileTest, SuccessfulWriteLeavesOtherStatusTextsAlone) {
  Console& c = *console;
  c.st.intRunState = 1;
  c.setStatus("Lock lost");
  ASSERT_TRUE(writeSampleLine(c, 1e-11));
  EXPECT_EQ(c.status(), "Lock lost");

  c.st.intRunState = 0;
  c.st.strDataFile = pathOf("missing/osc1.DAT");
  EXPECT_FALSE(writeSampleLine(c, 1e-11));
  c.st.strDataFile = pathOf("osc1.DAT");
  ASSERT_TRUE(writeSampleLine(c, 1e-11));
  EXPECT_TRUE(c.status().startsWith("Data file not written: "));
}

TEST_F(DataFileTest, SaveDialogChoosesTheFileAndEnablesInitializationOnlyBeforeIt) {
  Console& c = *console;
  c.st.strDataFile.clear();
  c.menus.initialization.setEnabled(false);

  chooseDataFile(c);  // cancelled
  ASSERT_EQ(dialogs.saveRequests.size(), 1u);
  EXPECT_EQ(dialogs.saveRequests[0].title, "Save .DAT file as");
  EXPECT_EQ(dialogs.saveRequests[0].filter, "*.DAT");
  EXPECT_EQ(dialogs.saveRequests[0].defaultExt, "DAT");
  EXPECT_EQ(c.st.intFileChosen, 0);
  EXPECT_FALSE(c.menus.initialization.enabled());

  dialogs.saveAnswers.push_back(pathOf("a.DAT"));
  chooseDataFile(c);
  EXPECT_EQ(c.st.strDataFile, pathOf("a.DAT"));
  EXPECT_EQ(c.st.intFileChosen, 1);
  EXPECT_TRUE(c.menus.initialization.enabled());

  // After the initialization has begun, a new file no longer touches "&Initialization".
  c.st.intInitPending = 0;
  c.menus.initialization.setEnabled(false);
  dialogs.saveAnswers.push_back(pathOf("b.DAT"));
  chooseDataFile(c);
  EXPECT_EQ(dialogs.saveRequests.back().initialPath, pathOf("a.DAT"));
  EXPECT_EQ(c.st.strDataFile, pathOf("b.DAT"));
  EXPECT_FALSE(c.menus.initialization.enabled());

  chooseDataFile(c);  // cancelled
  EXPECT_EQ(c.st.strDataFile, pathOf("b.DAT"));
  EXPECT_EQ(c.st.intFileChosen, 1);
}

}  // namespace
