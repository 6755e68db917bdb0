#include <QFileInfo>

#include "e2e/SimulatedConsole.h"
#include "e2e/SimulatorLog.h"

// The instrument or its line misbehaves in the middle of a run, as the simulator's fault schedule
// says. The console goes on or stops the run with a word in the status line, and the data file
// holds every sample accepted up to then, each line whole, as the instrument's logged lines give.
namespace tessarin::test {
namespace {

constexpr int kSpeedup = 200;
// Counted in the stream's lines; the initialization's streams end well before it, so the fault
// falls into the run.
constexpr int kFaultLine = 100;
constexpr int kSamplesAfterFault = 60;

QString faultAt(const QString& kind, const QString& argument = {}) {
  return kind + "@" + QString::number(kFaultLine) + (argument.isEmpty() ? "" : ":" + argument);
}

// The fault happened once, and after the run's start.
void expectFaultInRun(const QByteArray& log, const QString& fault) {
  const QByteArray kindAndLine = fault.section(':', 0, 0).toLatin1();
  const std::vector<QByteArray> faults = loggedEvents(log, '!');
  ASSERT_EQ(faults.size(), 1u) << "the fault did not happen";
  EXPECT_TRUE(faults[0].startsWith(kindAndLine)) << faults[0].toStdString();
  EXPECT_GT(log.indexOf("! " + kindAndLine), log.indexOf("< TA000003E8"));
}

struct FaultCase {
  const char* name;
  QString fault;
};

void PrintTo(const FaultCase& test, std::ostream* out) { *out << test.name; }

class InstrumentFaultTest : public SimulatedConsoleTest,
                            public ::testing::WithParamInterface<FaultCase> {};

TEST_P(InstrumentFaultTest, TheRunGoesOnAndRecordsEveryAcceptedSample) {
  const QString& fault = GetParam().fault;
  launch(kSpeedup, {"--fault", fault});
  chooseDataFile("fault.DAT");
  ASSERT_TRUE(initialize()) << status().toStdString();
  ASSERT_TRUE(runUntil(kFaultLine + kSamplesAfterFault)) << status().toStdString();
  EXPECT_EQ(status(), "Running...");
  choose(console().menus().startStop);
  EXPECT_EQ(status(), "Stop...");
  expectFaultInRun(simLog(), fault);

  const std::vector<RunCheck> runs = checkRunsAgainstLog();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].sampleLines, console().measurement().sampleCount());
}

INSTANTIATE_TEST_SUITE_P(Faults, InstrumentFaultTest,
                         ::testing::Values(FaultCase{"Jump", faultAt("jump")},
                                           FaultCase{"Garbage", faultAt("garbage")},
                                           FaultCase{"WrongLengths", faultAt("badlength", "3")},
                                           FaultCase{"CrWithoutLf", faultAt("cr")},
                                           FaultCase{"Burst", faultAt("burst", "50")},
                                           FaultCase{"Silence", faultAt("silence", "30")}),
                         [](const auto& test) { return std::string(test.param.name); });

using VanishingInstrumentTest = SimulatedConsoleTest;

TEST_F(VanishingInstrumentTest, RunStopsAndASecondRunAppendsOnceTheLineIsBack) {
  const QString fault = faultAt("vanish", "20");
  launch(kSpeedup, {"--fault", fault});
  app::Console& c = console();
  chooseDataFile("vanish.DAT");
  ASSERT_TRUE(initialize()) << status().toStdString();
  choose(c.menus().startStop);
  ASSERT_TRUE(
      waitFor([&] { return status().startsWith("Serial port failed, run stopped: "); }, 30000))
      << status().toStdString();
  EXPECT_TRUE(status().contains(link)) << status().toStdString();
  EXPECT_EQ(c.menus().startStop.caption(), "S&tart");
  EXPECT_FALSE(c.menus().startStop.enabled());
  EXPECT_TRUE(c.menus().initialization.enabled());
  const int firstRun = c.measurement().sampleCount();
  expectFaultInRun(simLog(), fault);

  ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(link); }, 30000))
      << "the line never came back";
  ASSERT_TRUE(initialize()) << status().toStdString();
  ASSERT_TRUE(runUntil(30)) << status().toStdString();
  choose(c.menus().startStop);
  EXPECT_EQ(status(), "Stop...");

  const std::vector<RunCheck> runs = checkRunsAgainstLog();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].sampleLines, firstRun);
  // Every reading that reached the console before the line went away was taken. The line sent
  // last may still have been on its way: a closing line takes its unread bytes with it, as a
  // cable pulled out does.
  EXPECT_GE(runs[0].sampleLines, runs[0].expected - 1);
  EXPECT_EQ(runs[1].sampleLines, c.measurement().sampleCount());
}

}  // namespace
}  // namespace tessarin::test
