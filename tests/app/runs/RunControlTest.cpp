#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <algorithm>
#include <functional>
#include <set>

#include "app/TextFileStore.h"
#include "app/runs/RunControl.h"
#include "app/runs/RunFixture.h"
#include "link/DutFrequencyText.h"

namespace tessarin::test {
namespace {

using app::RunState;
using Commands = std::vector<std::string>;

constexpr double kSecondsPerCount = 1.0 / 1.2e12;

class RunControlTest : public RunFixture {
 protected:
  // A new console with fresh fakes and no files, for the next case of a table.
  app::Console& freshConsole() {
    console.reset();
    instrument.reset();
    serial = FakeSerialPort();
    dialogs = FakeDialogs();
    dataPlot = FakePlot();
    stabilityPlot = FakePlot();
    for (const char* name : {"globalsetting.txt", "setting3.txt", "osc1.DAT"})
      QFile::remove(pathOf(name));
    return initializedConsole();
  }

  QString settingsText() const {
    const platform::Result<std::optional<QString>> text =
        app::loadTextFile(pathOf("globalsetting.txt"));
    return text && text.value() ? *text.value() : QString("(none)");
  }
  int headerCount() const { return static_cast<int>(dataFile().count("DUT Frequency :")); }

  // The numbers of the data file's sample lines.
  std::vector<double> sampleValues() const {
    std::vector<double> values;
    for (const QByteArray& line : dataFile().split('\n')) {
      bool ok = false;
      const double value = line.trimmed().toDouble(&ok);
      if (ok) values.push_back(value);
    }
    return values;
  }
  // The sample that two equal readings give at tau 1 s: the programmed frequency's offset from
  // the reference frequency the run measures against.
  double steadySample(double referenceHz) const {
    return -(referenceHz - console->initialization().frequencies().programmed) / referenceHz;
  }

  // The operator clicks Start/Stop once, the first time `command` is written.
  // The operator clicks Start/Stop once more while `command` goes out: the click waits in the
  // event queue until the handler at work has run to its end.
  void clickStartStopOnceAt(const std::string& command) {
    tasks.deferred = true;
    serial.instrument = [this, command, clicked = false](const std::string& written) mutable {
      if (written != command || clicked) return;
      clicked = true;
      tasks.post([this] { console->menus().startStop.click(); });
    };
  }

  // The start was refused: a warning naming `reason`, nothing sent, locked or written.
  void expectRefused(const app::Console& c, const QString& reason) {
    ASSERT_EQ(dialogs.messages.size(), 1u) << reason.toStdString();
    EXPECT_TRUE(dialogs.messages[0].text.contains(reason))
        << dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(dialogs.messages[0].text.endsWith("The run has not been started."));
    EXPECT_EQ(dialogs.messages[0].icon, platform::Dialogs::Icon::Warning);
    EXPECT_TRUE(serial.writes.empty());
    EXPECT_EQ(c.menus().startStop.caption(), "S&tart");
    EXPECT_EQ(c.state(), RunState::Ready);
    EXPECT_TRUE(c.menus().tau.enabled());
    EXPECT_FALSE(QFile::exists(pathOf("globalsetting.txt")));
    EXPECT_FALSE(QFile::exists(pathOf("osc1.DAT")));
  }
};

TEST_F(RunControlTest, StartSendsTheFilterCommandTauAndStreamStartInThisOrder) {
  const struct {
    bool filtered, nonFiltered;
    Commands commands;
  } cases[] = {{false, true, {"FN0", "TA000003E8", "PH05"}},
               {true, false, {"FN1", "TA000003E8", "PH05"}},
               {false, false, {"TA000003E8", "PH05"}}};
  for (const auto& t : cases) {
    app::Console& c = freshConsole();
    c.menus().filtered.setChecked(t.filtered);
    c.menus().nonFiltered.setChecked(t.nonFiltered);
    c.menus().startStop.click();
    EXPECT_EQ(serial.commands(), t.commands);
    EXPECT_EQ(c.menus().startStop.caption(), "S&top");
    EXPECT_TRUE(c.menus().startStop.enabled());
    EXPECT_EQ(c.status(), "Running...");
  }
}

TEST_F(RunControlTest, HeaderIsInTheDataFileBeforeTauGoesOutAndTheRunIsOnWhenTheStreamStarts) {
  app::Console& c = initializedConsole();
  Commands seen;
  serial.instrument = [&](const std::string& command) {
    seen.push_back(command);
    if (command.starts_with("TA")) {
      EXPECT_EQ(headerCount(), 1);
      EXPECT_EQ(c.state(), RunState::Ready);
    }
    if (command == "PH05") {
      EXPECT_EQ(c.state(), RunState::Running);
    }
  };
  c.menus().startStop.click();
  EXPECT_EQ(seen, (Commands{"FN0", "TA000003E8", "PH05"}));
}

TEST_F(RunControlTest, StartSavesTheChoicesAsTheSettingsCode) {
  using app::Menus;
  const struct {
    const char* before;  // globalsetting.txt at start-up
    app::MenuItem Menus::*data;
    app::MenuItem Menus::*port;
    app::MenuItem Menus::*filter;
    const char* code;
  } cases[] = {
      {nullptr, &Menus::frequencyData, &Menus::com2, &Menus::nonFiltered, "121"},
      {nullptr, &Menus::phaseData, &Menus::com3, &Menus::filtered, "230"},
      {"105", &Menus::frequencyData, nullptr, &Menus::filtered, "100"},
      {nullptr, nullptr, &Menus::com2, &Menus::nonFiltered, "21"},
  };
  for (const auto& t : cases) {
    for (const char* name : {"globalsetting.txt", "osc1.DAT"}) QFile::remove(pathOf(name));
    if (t.before) {
      ASSERT_TRUE(app::saveTextFile(pathOf("globalsetting.txt"), t.before));
    }
    console.reset();
    app::Console& c = initializedConsole();
    for (app::MenuItem* item :
         {&c.menus().frequencyData, &c.menus().phaseData, &c.menus().com1, &c.menus().com2,
          &c.menus().com3, &c.menus().com4, &c.menus().filtered, &c.menus().nonFiltered})
      item->setChecked(false);
    for (app::MenuItem Menus::*item : {t.data, t.port, t.filter})
      if (item) (c.menus().*item).setChecked(true);
    c.menus().startStop.click();
    EXPECT_EQ(settingsText(), t.code);
  }
}

TEST_F(RunControlTest, TauFromTheListSetsTheIntervalAndFromTenSecondsTheAnalysisEveryThree) {
  const struct {
    const char* entry;
    const char* command;
    int curvesAfterTenSamples;  // every 10 samples: at 10; every 3: at 6 and 9
  } cases[] = {{"5", "TA00001388", 1}, {"10", "TA00002710", 2}};
  for (const auto& t : cases) {
    app::Console& c = freshConsole();
    c.menus().tau.click();
    c.windows().tauList.setFromView(static_cast<int>(c.windows().tauList.items().indexOf(t.entry)));
    c.menus().startStop.click();
    EXPECT_EQ(serial.commands().at(1), t.command);
    EXPECT_TRUE(dataFile().contains("Tau :  " + QByteArray(t.entry) + "000.0 ms"));
    for (int i = 0; i < 11; ++i) feed({"00000000"});
    EXPECT_EQ(stabilityPlot.setCurveCalls, t.curvesAfterTenSamples) << t.entry;
    ASSERT_FALSE(stabilityPlot.curve("Curve2").x.empty());
    EXPECT_EQ(stabilityPlot.curve("Curve2").x[0], QByteArray(t.entry).toDouble());
  }
}

TEST_F(RunControlTest, StartClearsBothPlotsAndANewRunCountsItsSamplesFromOne) {
  app::Console& c = initializedConsole();
  c.menus().startStop.click();
  for (int i = 0; i < 21; ++i) feed({"00000000"});
  c.menus().startStop.click();
  dataPlot.interactionOn = stabilityPlot.interactionOn = true;
  const int itemRemovals = dataPlot.removeItemsCalls;

  c.menus().startStop.click();
  for (const FakePlot* plot : {&dataPlot, &stabilityPlot}) {
    EXPECT_TRUE(plot->curves.empty());
    EXPECT_FALSE(plot->interactionOn);
    EXPECT_EQ(plot->applyLimitsCalls, 0);
  }
  EXPECT_EQ(dataPlot.removeItemsCalls, itemRemovals + 1);
  for (int i = 0; i < 11; ++i) feed({"00000000"});
  const FakePlot::Curve& data = dataPlot.curve("Curve1");
  ASSERT_EQ(data.x.size(), 10u);
  EXPECT_EQ(data.x.front(), 1);
  EXPECT_NEAR(data.y.front(), steadySample(c.initialization().frequencies().measured) * 1e12, 1e-6);
  EXPECT_EQ(stabilityPlot.curve("Curve2").x, (std::vector<double>{1, 2}));
}

TEST_F(RunControlTest, LimitsAreTakenOverAndAppliedAtStartAndNotAutoscaledAway) {
  app::Console& c = initializedConsole();
  c.menus().limits.click();
  c.windows().scaleBoxes[3].setFromView("2e-11");
  c.menus().startStop.click();
  EXPECT_EQ(c.menus().startStop.caption(), "S&top");
  EXPECT_EQ(dataPlot.yMax, 20);
  EXPECT_EQ(dataPlot.applyLimitsCalls, 1);
  EXPECT_EQ(stabilityPlot.applyLimitsCalls, 1);
  EXPECT_TRUE(QFile::exists(pathOf("setting3.txt")));
  for (int i = 0; i < 11; ++i) feed({"00000000"});
  EXPECT_EQ(dataPlot.autoscaleCalls, 0);
  EXPECT_EQ(stabilityPlot.autoscaleCalls, 0);
}

TEST(nominalFrequencyFromText, ReadsGroupingCommasAndRoundsToFiveDecimals) {
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
  for (const auto& t : cases) EXPECT_EQ(link::nominalFrequencyFromText(t.text), t.value) << t.text;
}

TEST_F(RunControlTest, NormalizedRunMeasuresAgainstTheNominalFrequency) {
  app::Console& c = initializedConsole();
  c.menus().normalize.click();
  c.windows().nominalFrequencyBox.setFromView("10,000,000.123456");
  c.menus().startStop.click();
  EXPECT_TRUE(dataFile().contains("DUT Frequency :  10000000.12346 Hz"));
  feed({"00000000", "00000000"});
  const std::vector<double> values = sampleValues();
  ASSERT_EQ(values.size(), 1u);
  EXPECT_NEAR(values[0], steadySample(10000000.12346), 1e-18);
  EXPECT_GT(std::abs(values[0] - steadySample(c.initialization().frequencies().measured)), 1e-9);
}

TEST_F(RunControlTest, StartIsRefusedWithNothingSentLockedOrWritten) {
  const struct {
    std::function<void(app::Console&)> arrange;
    QString reason;
  } cases[] = {
      {[](app::Console& c) { c.windows().nominalFrequencyBox.setFromView("ten MHz"); },
       "The nominal DUT frequency \"ten MHz\" is not a frequency in Hz."},
      {[](app::Console& c) { c.windows().nominalFrequencyBox.setFromView("0,000,000.00000"); },
       "The nominal DUT frequency \"0,000,000.00000\" is not a frequency in Hz."},
      {[](app::Console& c) { c.windows().nominalFrequencyBox.setFromView(""); },
       "The nominal DUT frequency \"\" is not a frequency in Hz."},
      {[](app::Console& c) {
         c.menus().normalize.click();  // off again
         c.menus().limits.click();
         c.windows().scaleBoxes[3].setFromView("1e-1l");
       },
       "Delta F-max"},
      // The port closed without the adapter reporting a fault.
      {[this](app::Console& c) {
         c.menus().normalize.click();
         serial.opened = false;
       },
       "The serial port to the instrument is not open."},
  };
  for (const auto& t : cases) {
    app::Console& c = freshConsole();
    c.menus().normalize.click();
    t.arrange(c);
    c.menus().startStop.click();
    expectRefused(c, t.reason);
    EXPECT_FALSE(QFile::exists(pathOf("setting3.txt")));
  }
}

TEST_F(RunControlTest, UnwritableSettingsFileIsReportedAndTheRunStarts) {
  app::Console& c = initializedConsole();
  ASSERT_TRUE(QDir(folder()).mkdir("globalsetting.txt"));
  c.menus().startStop.click();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(dialogs.messages[0].text.startsWith(
      "The port, mode and data choices could not be saved to globalsetting.txt: "));
  EXPECT_EQ(serial.commands(), (Commands{"FN0", "TA000003E8", "PH05"}));
  EXPECT_EQ(c.menus().startStop.caption(), "S&top");
}

TEST_F(RunControlTest, RunGoesOnWhileTheDataFileCannotBeWrittenAndWritesTheWaitingLinesOnceItCan) {
  app::Console& c = initializedConsole();
  ASSERT_TRUE(QDir(folder()).mkdir("osc1.DAT"));
  c.menus().startStop.click();
  EXPECT_EQ(c.menus().startStop.caption(), "S&top");
  EXPECT_TRUE(c.status().startsWith("Data file not written: " + pathOf("osc1.DAT")))
      << c.status().toStdString();
  feed({"00000000", "0000000C"});
  EXPECT_EQ(dataPlot.curve("Curve1").x.size(), 1u);
  EXPECT_TRUE(c.status().endsWith("; 2 lines waiting")) << c.status().toStdString();

  ASSERT_TRUE(QDir(folder()).rmdir("osc1.DAT"));
  feed({"00000018"});
  EXPECT_EQ(c.status(), "Running...");
  const std::vector<double> values = sampleValues();
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(headerCount(), 1);
  const double expected =
      -12 * kSecondsPerCount + steadySample(c.initialization().frequencies().measured);
  EXPECT_NEAR(values[0], expected, 1e-22);
  EXPECT_NEAR(values[1], expected, 1e-22);
}

TEST_F(RunControlTest, LinesWrittenBeforeAFileFailureStayIntact) {
  app::Console& c = initializedConsole();
  c.menus().startStop.click();
  feed({"00000000", "0000000C", "00000018"});
  const QByteArray before = dataFile();
  ASSERT_TRUE(QFile::rename(pathOf("osc1.DAT"), pathOf("kept.DAT")));
  ASSERT_TRUE(QDir(folder()).mkdir("osc1.DAT"));
  feed({"00000024"});
  EXPECT_TRUE(c.status().startsWith("Data file not written: "));
  EXPECT_EQ(dataPlot.curve("Curve1").x.size(), 3u);

  ASSERT_TRUE(QDir(folder()).rmdir("osc1.DAT"));
  ASSERT_TRUE(QFile::rename(pathOf("kept.DAT"), pathOf("osc1.DAT")));
  feed({"00000030"});
  EXPECT_EQ(c.status(), "Running...");
  EXPECT_TRUE(dataFile().startsWith(before));
  EXPECT_EQ(dataFile().mid(before.size()).count("\r\n"), 2);
}

TEST_F(RunControlTest, StopEndsTheStreamAndUnlocksTheMenusButThePort) {
  app::Console& c = initializedConsole();
  c.menus().startStop.click();
  feed({"00000000", "0000000C"});
  EXPECT_FALSE(c.menus().tau.enabled());
  const QByteArray file = dataFile();

  c.menus().startStop.click();
  EXPECT_EQ(serial.commands().back(), "PH00");
  EXPECT_EQ(c.menus().startStop.caption(), "S&tart");
  EXPECT_TRUE(c.menus().startStop.enabled());
  EXPECT_EQ(c.status(), "Stop...");
  EXPECT_TRUE(c.menus().tau.enabled());
  EXPECT_FALSE(c.menus().com2.enabled());
  feed({"00000018"});  // still on its way when the stream stopped
  EXPECT_EQ(dataFile(), file);
  EXPECT_EQ(dataPlot.curve("Curve1").x.size(), 1u);
}

TEST_F(RunControlTest, PortFailureDuringARunStopsItAndInitializationReopensThePort) {
  app::Console& c = initializedConsole();
  c.menus().startStop.click();
  feed({"00000000", "0000000C", "00000018"});
  const QByteArray file = dataFile();

  serial.fail("/dev/ttyS1: Input/output error");
  EXPECT_EQ(c.status(), "Serial port failed, run stopped: /dev/ttyS1: Input/output error");
  EXPECT_EQ(c.menus().startStop.caption(), "S&tart");
  EXPECT_FALSE(c.menus().startStop.enabled());
  EXPECT_TRUE(c.menus().tau.enabled());
  EXPECT_EQ(dataFile(), file);
  c.menus().startStop.click();
  EXPECT_TRUE(dialogs.messages.empty());

  ASSERT_TRUE(c.menus().initialization.enabled());
  const int opens = serial.openCount;
  const std::size_t writes = serial.writes.size();
  c.menus().initialization.click();
  EXPECT_EQ(serial.openCount, opens + 1);
  EXPECT_EQ(commandsFrom(writes), (Commands{"MK0", "CB9"}));
}

TEST_F(RunControlTest, PortFailureWithoutARunOnlyShowsInTheStatusLine) {
  app::Console& c = initializedConsole();
  serial.fail("device removed");
  EXPECT_EQ(c.status(), "Serial port failed: device removed");
  EXPECT_EQ(c.menus().startStop.caption(), "S&tart");
  EXPECT_FALSE(c.menus().startStop.enabled());
  EXPECT_TRUE(serial.writes.empty());
}

TEST_F(RunControlTest, PortFailureStopsTheLockPolling) {
  app::Console& c = initializedConsole(true);
  ASSERT_TRUE(timer.enabled());

  serial.fail("device removed");
  EXPECT_FALSE(timer.enabled());
  EXPECT_EQ(c.status(), "Serial port failed: device removed");
}

TEST_F(RunControlTest, RunEndsItselfAtTheSampleLimitAndOneClickStopsIt) {
  app::Console& c = initializedConsole();
  c.menus().startStop.click();
  tasks.deferred = true;
  // 999999 lines through the console take about 40 s (a data file append and, every 10 samples,
  // an analysis each). The run's measurement takes all but the last line itself here, without
  // analyses, plot points or a data file to write; the last line goes through the console.
  run::RunSettings quick;
  quick.dutHz = 10000000;
  quick.analysisPeriod = run::Measurement::kSampleLimit + 1;
  quick.shown = std::nullopt;
  quick.autoscale = false;
  c.measurement().start(quick);
  c.recorder().choose(QString());
  for (int line = 1; line < run::Measurement::kSampleLimit - 1; ++line)
    c.measurement().take("00000000");
  c.recorder().takeWaiting();  // the lines that had no data file to go to
  // The last two lines cannot be written: they are offered for another file once the serial
  // handler is done.
  c.recorder().choose(pathOf("gone/osc1.DAT"));
  feed({"00000000"});
  EXPECT_EQ(c.menus().startStop.caption(), "S&top");
  EXPECT_EQ(serial.commands().back(), "PH05");
  feed({"00000000"});

  EXPECT_EQ(serial.commands().back(), "PH00");
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(dialogs.saveRequests.size(), 1u);  // the data file's
  tasks.runPosted();
  ASSERT_EQ(dialogs.messages.size(), 2u);
  EXPECT_EQ(dialogs.messages[0].text, "Sample 999999");
  EXPECT_EQ(dialogs.messages[0].title, "Tessarin / RS");
  EXPECT_EQ(dialogs.messages[0].icon, platform::Dialogs::Icon::Warning);
  EXPECT_TRUE(dialogs.messages[1].text.startsWith("2 lines of the run could not be written to " +
                                                  pathOf("gone/osc1.DAT")));
  EXPECT_EQ(dialogs.saveRequests.size(), 2u);  // cancelled
  EXPECT_EQ(c.menus().startStop.caption(), "S&top");
  EXPECT_EQ(c.status(), "2 waiting lines dropped");
  EXPECT_TRUE(c.menus().tau.enabled());
  EXPECT_FALSE(c.menus().com2.enabled());
  EXPECT_EQ(c.measurement().sampleCount(), 999998);

  // Later lines are no samples; one click ends the stream again and restores "S&tart".
  const std::size_t writes = serial.writes.size();
  feed({"00000000"});
  EXPECT_EQ(c.measurement().sampleCount(), 999998);
  c.menus().startStop.click();
  EXPECT_EQ(commandsFrom(writes), Commands{"PH00"});
  EXPECT_EQ(c.menus().startStop.caption(), "S&tart");
  EXPECT_EQ(c.status(), "Stop...");
  EXPECT_EQ(dialogs.messages.size(), 2u);
}

// Mended: a click that arrives while Start/Stop is still being handled.
TEST_F(RunControlTest, ClickQueuedWhileStartOrStopIsHandledRunsAfterIt) {
  const struct {
    const char* at;
    Commands commands;
    const char* caption;
  } cases[] = {
      {"FN0", {"FN0", "TA000003E8", "PH05", "PH00"}, "S&tart"},
      {"PH05", {"FN0", "TA000003E8", "PH05", "PH00"}, "S&tart"},
      {"PH00", {"FN0", "TA000003E8", "PH05", "PH00", "FN0", "TA000003E8", "PH05"}, "S&top"}};
  for (const auto& t : cases) {
    app::Console& c = freshConsole();
    if (std::string(t.at) == "PH00") c.menus().startStop.click();
    clickStartStopOnceAt(t.at);
    c.menus().startStop.click();
    tasks.runPosted();
    EXPECT_EQ(serial.commands(), t.commands) << t.at;
    EXPECT_EQ(headerCount(), std::string(t.at) == "PH00" ? 2 : 1) << t.at;
    EXPECT_EQ(c.menus().startStop.caption(), t.caption) << t.at;
  }
}

TEST_F(RunControlTest, SettingsWarningComesAfterTheStartHasRunToItsEnd) {
  app::Console& c = initializedConsole();
  ASSERT_TRUE(QDir(folder()).mkdir("globalsetting.txt"));
  tasks.deferred = true;
  c.menus().startStop.click();
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(serial.commands(), (Commands{"FN0", "TA000003E8", "PH05"}));
  EXPECT_EQ(headerCount(), 1);

  // Stop chosen while the warning is open waits for it to be answered.
  dialogs.whileOpen = [&c] { c.menus().startStop.click(); };
  tasks.runPosted();
  EXPECT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(serial.commands(), (Commands{"FN0", "TA000003E8", "PH05", "PH00"}));
  EXPECT_EQ(c.menus().startStop.caption(), "S&tart");
}

TEST_F(RunControlTest, QuitWhileTheSettingsWarningIsOpenSendsNothingAfterMk0) {
  app::Console& c = initializedConsole();
  ASSERT_TRUE(QDir(folder()).mkdir("globalsetting.txt"));
  tasks.deferred = true;
  dialogs.whileOpen = [&c] { c.menus().quit.click(); };
  c.menus().startStop.click();
  tasks.runPosted();
  feed({"00000000", "0000000C"});
  c.menus().startStop.click();
  EXPECT_EQ(serial.commands(), (Commands{"FN0", "TA000003E8", "PH05", "MK0"}));
  EXPECT_EQ(application.quitCalls, 1);
  EXPECT_EQ(sampleValues().size(), 0u);
}

TEST_F(RunControlTest, CommandThatCannotBeWrittenShowsInTheStatusLine) {
  app::Console& c = initializedConsole();
  serial.writeError = "Input/output error";
  c.menus().startStop.click();
  EXPECT_EQ(c.status(), "Command not sent: PH05: Input/output error");
}

}  // namespace
}  // namespace tessarin::test
