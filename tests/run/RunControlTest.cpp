#include <gtest/gtest.h>

#include "app/TextFileStore.h"
#include "run/RunControl.h"
#include "run/RunFixture.h"
#include "run/SampleProcessing.h"

namespace {

using Commands = std::vector<std::string>;

class RunControlTest : public RunFixture {
 protected:
  QString settingsText() const {
    QString error;
    return TextFileStore::LoadFile(pathOf("globalsetting.txt"), error).value_or("(none)");
  }
  void feed(std::initializer_list<const char*> lines) {
    for (const char* line : lines) handleSampleLine(*console, line);
  }
  // The start was refused: a warning naming `reason`, nothing sent, locked or written.
  void expectRefused(const Console& c, const QString& reason) {
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(reason))
        << dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(dialogs.messages[0].text.endsWith("The run has not been started."));
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Warning);
    EXPECT_TRUE(serial.writes.empty());
    EXPECT_EQ(c.menus.startStop.caption(), "S&tart");
    EXPECT_EQ(c.st.intRunState, 0);
    EXPECT_EQ(c.st.intRunning, 0);
    EXPECT_TRUE(c.menus.tau.enabled());
    EXPECT_FALSE(QFile::exists(pathOf("globalsetting.txt")));
    EXPECT_FALSE(QFile::exists(pathOf("osc1.DAT")));
  }
};

TEST_F(RunControlTest, StartSendsFilterTauAndStreamCommandsInOrder) {
  const struct {
    bool filtered, nonFiltered;
    Commands commands;
  } cases[] = {{false, true, {"FN0", "TA000003E8", "PH05"}},
               {true, false, {"FN1", "TA000003E8", "PH05"}},
               {false, false, {"TA000003E8", "PH05"}}};
  for (const auto& test : cases) {
    console.reset();
    serial = FakeSerialPort();
    Console& c = initializedConsole();
    c.menus.filtered.setChecked(test.filtered);
    c.menus.nonFiltered.setChecked(test.nonFiltered);
    c.menus.startStop.click();
    EXPECT_EQ(serial.commands(), test.commands);
    EXPECT_EQ(c.menus.startStop.caption(), "S&top");
    EXPECT_EQ(c.status(), "Running...");
    EXPECT_EQ(c.st.intRunState, 1);
    EXPECT_EQ(c.st.intRunning, 1);
  }
}

TEST_F(RunControlTest, HeaderIsWrittenBeforeTauAndSamplesFlowOnlyAfterStreamStart) {
  Console& c = initializedConsole();
  serial.instrument = [&](const std::string& command) {
    if (command.starts_with("TA")) {
      EXPECT_FALSE(dataFile().isEmpty());
      EXPECT_EQ(c.st.intRunning, 0);
    }
    if (command == "PH05") EXPECT_EQ(c.st.intRunning, 1);
  };
  c.menus.startStop.click();
}

TEST_F(RunControlTest, StartPacksTheChoicesIntoTheSettingsCode) {
  const struct {
    MenuItem Menus::*data;
    MenuItem Menus::*port;
    MenuItem Menus::*filter;
    const char* code;
  } cases[] = {{&Menus::frequencyData, &Menus::com2, &Menus::nonFiltered, "121"},
               {&Menus::phaseData, &Menus::com3, &Menus::filtered, "230"}};
  for (const auto& test : cases) {
    console.reset();
    Console& c = initializedConsole();
    for (MenuItem* item : {&c.menus.frequencyData, &c.menus.phaseData, &c.menus.com2,
                           &c.menus.filtered, &c.menus.nonFiltered})
      item->setChecked(false);
    (c.menus.*test.data).setChecked(true);
    (c.menus.*test.port).setChecked(true);
    (c.menus.*test.filter).setChecked(true);
    c.menus.startStop.click();
    EXPECT_EQ(settingsText(), test.code);
  }
}

TEST_F(RunControlTest, GroupWithoutChoiceKeepsItsPartOfTheCode) {
  QString error;
  ASSERT_TRUE(TextFileStore::SaveFile(pathOf("globalsetting.txt"), "105", error));
  Console& c = initializedConsole();
  c.menus.com2.setChecked(false);
  c.menus.nonFiltered.setChecked(false);
  c.menus.filtered.setChecked(true);
  c.menus.startStop.click();
  EXPECT_EQ(settingsText(), "100");
}

TEST_F(RunControlTest, TauOfTenSecondsAnalysesEveryThreeSamples) {
  const struct {
    const char* entry;
    const char* command;
    double period;
  } cases[] = {{"5", "TA00001388", 10}, {"10", "TA00002710", 3}};
  for (const auto& test : cases) {
    console.reset();
    serial = FakeSerialPort();
    Console& c = initializedConsole();
    c.menus.tau.click();
    c.windows.tauList.setSelectedIndex(
        static_cast<int>(c.windows.tauList.items().indexOf(test.entry)));
    c.menus.startStop.click();
    EXPECT_EQ(serial.commands().at(1), test.command);
    EXPECT_EQ(c.st.dblAnalysisPeriod, test.period);
    EXPECT_EQ(c.st.dblTauCurrent, c.st.dblTauSeconds);
  }
}

TEST_F(RunControlTest, StartPreparesTheAnalysisAndClearsBothPlots) {
  Console& c = initializedConsole();
  c.st.dblSampleIndex = 77;
  c.st.dblLevelOffset = 3;
  c.st.dblFirstFactor = 8;
  dataPlot.addCurve("Curve1", 1, 1, &c.st.dblFreqPlot[1], 5);
  stabilityPlot.interactionOn = false;
  c.menus.startStop.click();

  EXPECT_EQ(c.st.dblSampleIndex, 0);
  EXPECT_EQ(c.st.dblLevelOffset, 0);
  EXPECT_EQ(c.st.dblFirstFactor, 1);
  EXPECT_EQ(c.st.dblAnalysisCount, 1);
  EXPECT_NEAR(c.st.dblFreqOffset, (kDutFreq - kProgFreq) / kDutFreq, 1e-25);
  for (const FakePlot* plot : {&dataPlot, &stabilityPlot}) {
    EXPECT_TRUE(plot->curves.empty());
    EXPECT_FALSE(plot->interactionOn);
    EXPECT_EQ(plot->clearSecondListCalls, 1);
  }
  EXPECT_EQ(dataPlot.applyLimitsCalls, 0);
}

TEST_F(RunControlTest, LimitsAreTakenOverAndAppliedAtStart) {
  Console& c = initializedConsole();
  c.menus.limits.click();
  c.windows.scaleBoxes[3].setText("2e-11");
  c.menus.startStop.click();
  EXPECT_EQ(dataPlot.yMax, 20);
  EXPECT_EQ(dataPlot.applyLimitsCalls, 1);
  EXPECT_EQ(stabilityPlot.applyLimitsCalls, 1);
  EXPECT_EQ(c.menus.startStop.caption(), "S&top");
}

TEST_F(RunControlTest, NominalFrequencyIsReadWithGroupingAndFiveDecimals) {
  const struct {
    const char* text;
    std::optional<double> value;
  } cases[] = {{"10,000,000.00000", 10000000.0},
               {"10000000.123456", 10000000.12346},
               {" 5,000,000.5 ", 5000000.5},
               {"0,000,000.00000", 0.0},
               {"abc", std::nullopt},
               {"", std::nullopt},
               {"10.000.000,5", std::nullopt}};
  for (const auto& test : cases)
    EXPECT_EQ(nominalFrequencyFromText(test.text), test.value) << test.text;
}

TEST_F(RunControlTest, NormalizedRunMeasuresAgainstTheNominalFrequency) {
  Console& c = initializedConsole();
  c.menus.normalize.click();
  c.windows.nominalFrequencyBox.setText("10,000,000.123456");
  c.menus.startStop.click();
  EXPECT_EQ(c.st.dblNominalDut, 10000000.12346);
  EXPECT_NEAR(c.st.dblFreqOffset, (10000000.12346 - kProgFreq) / 10000000.12346, 1e-25);
  EXPECT_TRUE(dataFile().contains("DUT Frequency :  10000000.12346 Hz"));
}

TEST_F(RunControlTest, StartIsRefusedWhenTheNominalFrequencyIsNoFrequency) {
  for (const char* text : {"ten MHz", "0,000,000.00000", ""}) {
    console.reset();
    dialogs = FakeDialogs();
    Console& c = initializedConsole();
    c.menus.normalize.click();
    c.windows.nominalFrequencyBox.setText(text);
    c.menus.startStop.click();
    expectRefused(c,
                  QString("The nominal DUT frequency \"%1\" is not a frequency in Hz.").arg(text));
  }
}

TEST_F(RunControlTest, StartIsRefusedWhenAScaleBoxIsNoNumber) {
  Console& c = initializedConsole();
  c.menus.limits.click();
  c.windows.scaleBoxes[3].setText("1e-1l");
  c.menus.startStop.click();
  expectRefused(c, "Delta F-max");
  EXPECT_FALSE(QFile::exists(pathOf("setting3.txt")));
}

TEST_F(RunControlTest, StartIsRefusedWhenThePortIsClosed) {
  Console& c = initializedConsole();
  serial.opened = false;
  c.menus.startStop.click();
  expectRefused(c, "The serial port to the instrument is not open.");
}

TEST_F(RunControlTest, UnwritableSettingsFileIsReportedButTheRunStarts) {
  Console& c = initializedConsole();
  c.st.strSettingFile = folder();  // a folder cannot be written as a file
  c.menus.startStop.click();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(dialogs.messages[0].text.startsWith(
      "The port, mode and data choices could not be saved to globalsetting.txt: "));
  EXPECT_EQ(serial.commands(), (Commands{"FN0", "TA000003E8", "PH05"}));
  EXPECT_EQ(c.menus.startStop.caption(), "S&top");
}

TEST_F(RunControlTest, RunGoesOnWhenTheDataFileCannotBeWritten) {
  Console& c = initializedConsole();
  const QString dataPath = c.st.strDataFile;
  c.st.strDataFile = folder();  // a folder cannot be opened for appending
  c.st.dblProgFreq = kDutFreq;
  c.menus.startStop.click();
  EXPECT_EQ(c.menus.startStop.caption(), "S&top");
  EXPECT_TRUE(c.status().startsWith("Data file not written")) << c.status().toStdString();
  feed({"00000000", "0000000C"});
  ASSERT_EQ(dataPlot.curves.size(), 1u);
  EXPECT_EQ(dataPlot.curves[0].y.size(), 1u);

  // The file comes back: later samples are appended, the status line says the run is on again.
  c.st.strDataFile = dataPath;
  feed({"00000018"});
  EXPECT_EQ(dataFile(), "-1E-11 \r\n");
  EXPECT_EQ(c.status(), "Running...");
}

TEST_F(RunControlTest, SampleLinesWrittenBeforeAFileFailureStayIntact) {
  Console& c = initializedConsole();
  c.st.dblProgFreq = kDutFreq;
  c.menus.startStop.click();
  feed({"00000000", "0000000C"});
  const QByteArray before = dataFile();
  const QString dataPath = c.st.strDataFile;
  c.st.strDataFile = folder();
  feed({"00000018"});
  EXPECT_TRUE(c.status().startsWith("Data file not written"));
  EXPECT_EQ(dataPlot.curves[0].y.size(), 2u);
  c.st.strDataFile = dataPath;
  EXPECT_EQ(dataFile(), before);
}

TEST_F(RunControlTest, StopEndsTheStreamAndUnlocksTheMenus) {
  Console& c = initializedConsole();
  c.menus.startStop.click();
  EXPECT_FALSE(c.menus.tau.enabled());
  EXPECT_TRUE(c.menus.startStop.enabled());
  const QByteArray file = dataFile();

  c.menus.startStop.click();
  EXPECT_EQ(serial.commands().back(), "PH00");
  EXPECT_EQ(c.menus.startStop.caption(), "S&tart");
  EXPECT_EQ(c.status(), "Stop...");
  EXPECT_EQ(c.st.intRunState, 0);
  EXPECT_EQ(c.st.intRunning, 0);
  EXPECT_EQ(c.st.intRunStopped, 1);
  EXPECT_TRUE(c.menus.tau.enabled());
  EXPECT_FALSE(c.menus.com2.enabled());
  EXPECT_EQ(dataFile(), file);
}

TEST_F(RunControlTest, PortFailureDuringARunStopsItAndKeepsTheRecordedSamples) {
  Console& c = initializedConsole();
  c.menus.startStop.click();
  feed({"00000000", "0000000C", "00000018"});
  const QByteArray file = dataFile();

  serial.fail("/dev/ttyS1: Input/output error");
  EXPECT_EQ(c.status(), "Serial port failed, run stopped: /dev/ttyS1: Input/output error");
  EXPECT_EQ(c.menus.startStop.caption(), "S&tart");
  EXPECT_EQ(c.st.intRunState, 0);
  EXPECT_EQ(c.st.intRunning, 0);
  EXPECT_EQ(c.st.intRunStopped, 1);
  EXPECT_TRUE(c.menus.tau.enabled());
  EXPECT_EQ(dataFile(), file);

  // A new start is refused while the port stays closed.
  c.menus.startStop.click();
  EXPECT_EQ(c.menus.startStop.caption(), "S&tart");
  ASSERT_EQ(dialogs.messages.size(), 1u);

  // Reconnected, the instrument is initialized again on a reopened port.
  EXPECT_EQ(c.st.intPortOpen, 0);
  ASSERT_TRUE(c.menus.initialization.enabled());
  const int opens = serial.openCount;
  c.menus.initialization.click();
  EXPECT_EQ(serial.openCount, opens + 1);
  EXPECT_EQ(c.st.intPortOpen, 1);
  EXPECT_EQ(commandsFrom(serial.writes.size() - 2), (Commands{"MK0", "CB9"}));
}

TEST_F(RunControlTest, PortFailureStopsTheLockPolling) {
  Console& c = initializedConsole();
  timer.setEnabled(true);
  serial.fail("device removed");
  EXPECT_FALSE(timer.enabled());
  timer.tick();
  EXPECT_EQ(c.status(), "Serial port failed: device removed");
}

TEST_F(RunControlTest, PortFailureWithoutARunOnlyShowsInTheStatusLine) {
  Console& c = initializedConsole();
  serial.fail("device removed");
  EXPECT_EQ(c.status(), "Serial port failed: device removed");
  EXPECT_EQ(c.menus.startStop.caption(), "S&tart");
  EXPECT_TRUE(serial.writes.empty());
}

TEST_F(RunControlTest, PortFailureWhileTheMenusLockAbandonsTheStart) {
  Console& c = initializedConsole();
  events.onProcess = [&] {
    if (serial.opened) serial.fail("device removed");
  };
  c.menus.startStop.click();
  EXPECT_EQ(c.status(), "Serial port failed: device removed");
  EXPECT_EQ(c.menus.startStop.caption(), "S&tart");
  EXPECT_EQ(c.st.intRunState, 0);
  EXPECT_EQ(c.st.intRunning, 0);
  EXPECT_TRUE(c.menus.tau.enabled());
  EXPECT_EQ(serial.commands(), Commands{"FN0"});
  EXPECT_FALSE(QFile::exists(pathOf("osc1.DAT")));
}

}  // namespace
