#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

#include "app/Console.h"
#include "platform/qt/ConsoleApp.h"
#include "run/DataFile.h"
#include "support/Fakes.h"

// The console's Qt build, in this process, against the simulator program on a pseudo-terminal.
// Only the dialogs are answered by the test.
namespace tessarin::test {
namespace {

class SimulatedMeasurementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    link = dir.filePath("instrument.tty");
    sim.setProgram(SIM_EXE);
    sim.setArguments({"--link", link, "--dut-hz", "10000012.34567", "--speedup", "25",
                      "--lock-after", "2", "--log", dir.filePath("sim.log")});
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start();
    ASSERT_TRUE(sim.waitForStarted(5000));
    ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(link); }, 5000)) << "no pseudo-terminal";

    QFile map(dir.filePath("serialports.txt"));
    ASSERT_TRUE(map.open(QIODevice::WriteOnly));
    map.write(("Com1=" + link + "\n").toUtf8());
    map.close();
    QFile settings(dir.filePath("globalsetting.txt"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write(settingsCode);
    settings.close();

    consoleApp = std::make_unique<qt::ConsoleApp>(dir.path(), &dialogs);
    consoleApp->window().show();
  }

  void TearDown() override {
    consoleApp.reset();
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(5000));
    // A sanitizer report from the simulator (a leak, say) shows as a failed exit.
    EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.exitCode(), 0);
  }

  // Runs the event loop until `done` holds or `ms` have passed.
  static bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
      if (clock.elapsed() > ms) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      QThread::msleep(2);
    }
    return true;
  }

  QString status() { return consoleApp->console().status(); }

  QTemporaryDir dir;
  QString link;
  QProcess sim;
  QByteArray settingsCode = "111";  // frequency data, Com 1, non-filtered
  FakeDialogs dialogs;
  std::unique_ptr<qt::ConsoleApp> consoleApp;
};

TEST_F(SimulatedMeasurementTest, FromFileChoiceToARecordedRun) {
  app::Console& c = consoleApp->console();
  const QString data = dir.filePath("osc1.DAT");
  dialogs.saveAnswers.push_back(data);
  c.menus.saveFileAs.click();
  ASSERT_TRUE(c.menus.initialization.enabled());

  c.menus.initialization.click();
  ASSERT_TRUE(waitFor([&] { return status() == "Ready to start"; }, 30000))
      << status().toStdString();
  EXPECT_TRUE(c.menus.startStop.enabled());
  EXPECT_NEAR(c.initializationSequence.frequencies().measured, 10000012.34567, 2e-5);
  // The fit is cut to five decimals, so the last digit may be one below.
  EXPECT_TRUE(c.windows.measuredFrequencyBox.text().startsWith("10,000,012.3456"))
      << c.windows.measuredFrequencyBox.text().toStdString();

  c.menus.startStop.click();
  EXPECT_EQ(c.menus.startStop.caption(), "S&top");
  ASSERT_TRUE(waitFor([&] { return c.measurement.sampleCount() >= 25; }, 30000));
  c.menus.startStop.click();
  EXPECT_EQ(status(), "Stop...");
  EXPECT_EQ(c.menus.startStop.caption(), "S&tart");
  EXPECT_GE(consoleApp->dataPlot().curveCount(), 1);
  EXPECT_EQ(consoleApp->stabilityPlot().curveCount(), 1);

  QFile file(data);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = file.readAll().split('\n');
  ASSERT_GT(lines.size(), 12);
  EXPECT_TRUE(lines[6].startsWith(data.toUtf8() + "\tDate  "));
  EXPECT_EQ(lines[8],
            "DUT Frequency :  " +
                run::formatPlainDecimal(c.initializationSequence.frequencies().measured).toUtf8() +
                " Hz\tTau :  1000.0 ms\r");
  EXPECT_EQ(lines[10], "Mode :   Non-Filtered\r");
  EXPECT_EQ(lines[11], "Data :   Frequency Data\r");
  // One line per accepted sample, each a number with its sign place and a trailing space.
  int samples = 0;
  for (qsizetype i = 13; i < lines.size(); ++i)
    if (!lines[i].isEmpty()) {
      EXPECT_TRUE(lines[i].endsWith(" \r")) << lines[i].toStdString();
      ++samples;
    }
  EXPECT_GE(samples, 25);
}

class FilteredMeasurementTest : public SimulatedMeasurementTest {
 protected:
  void SetUp() override {
    settingsCode = "110";  // frequency data, Com 1, filtered
    SimulatedMeasurementTest::SetUp();
  }
};

TEST_F(FilteredMeasurementTest, StartIsOfferedOnceTheFilterHasLocked) {
  app::Console& c = consoleApp->console();
  dialogs.saveAnswers.push_back(dir.filePath("osc2.DAT"));
  c.menus.saveFileAs.click();
  c.menus.initialization.click();
  ASSERT_TRUE(waitFor([&] { return status() == "XTAL filter Unlocked, wait..."; }, 30000))
      << status().toStdString();
  EXPECT_FALSE(c.menus.startStop.enabled());
  ASSERT_TRUE(waitFor([&] { return status() == "XTAL filter Locked"; }, 30000))
      << status().toStdString();
  EXPECT_TRUE(c.menus.startStop.enabled());
  EXPECT_EQ(dialogs.questions.size(), 1u);
}

}  // namespace
}  // namespace tessarin::test

int main(int argc, char** argv) {
  // Tests and benchmarks never need a display.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qapp(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
