#include <signal.h>

#include <QFile>
#include <QProcess>
#include <cmath>

#include "e2e/RecordedRuns.h"
#include "e2e/SimulatedConsole.h"
#include "e2e/SimulatorLog.h"

// Runs left alone with "&Resume after Port Loss" checked: the line goes and comes back, the
// instrument falls silent, the console is killed. What the data file holds is checked against
// the lines the simulator logged as sent.
namespace tessarin::test {
namespace {

constexpr int kSpeedup = 200;
// Lines on their way when the line goes are lost with it, as with a cable pulled out.
constexpr int kInFlight = 3;

using UnattendedRunTest = SimulatedConsoleTest;

// The runs of the file, joined by tessarin-analyze: the gap samples before each run but the first.
std::vector<int> joinedGaps(const QString& dataPath) {
  QProcess analyze;
  analyze.start(ANALYZE_EXE, {"--join", "--list", dataPath});
  EXPECT_TRUE(analyze.waitForFinished(30000));
  EXPECT_EQ(analyze.exitCode(), 0) << analyze.readAllStandardError().toStdString();
  std::vector<int> gaps;
  for (const QByteArray& row : analyze.readAllStandardOutput().split('\n').mid(2)) {
    bool number = false;
    const int gap = row.simplified().split(' ').last().toInt(&number);
    if (number) gaps.push_back(gap);
  }
  return gaps;
}

TEST_F(UnattendedRunTest, ThreeVanishesAndASilenceLeaveOneRunPerSegmentJoinedWhereTheLineWasDown) {
  // Each fault comes at line 100 of the next stream that reaches it; the initialization's streams
  // are shorter. The silence lasts 3 s here, 600 s on the console's clock.
  launch(kSpeedup,
         {"--fault", "vanish@100:5", "--fault", "vanish@100:5", "--fault", "vanish@100:5",
          "--fault", "silence@100:600"},
         "111", true);
  app::Console& c = console();
  choose(c.menus().resumeAfterPortLoss);
  chooseDataFile("unattended.DAT");
  ASSERT_TRUE(initialize()) << status().toStdString();
  choose(c.menus().startStop);
  ASSERT_TRUE(waitFor(
      [&] {
        return status().startsWith("Running... (resumed 4 times, last loss ") &&
               c.measurement().sampleCount() >= 100;
      },
      60000))
      << status().toStdString();
  choose(c.menus().startStop);
  EXPECT_EQ(status(), "Stop...");
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(loggedEvents(simLog(), '!').size(), 4u);

  const std::vector<RunCheck> runs = checkRunsAgainstLog();
  ASSERT_EQ(runs.size(), 5u);
  for (std::size_t r = 0; r < runs.size(); ++r)
    EXPECT_GE(runs[r].sampleLines, runs[r].expected - kInFlight) << "run " << r + 1;

  // Joined, each run's first sample falls where the instrument sent it: its time since the first
  // run's first sample, in samples of 1 s. Within 5 samples: each header's time has whole
  // seconds (half a sample either way), and the moment from the header to the first sample the
  // console asks for is stretched 200 times by the sped-up clock, so that 20 ms of a slow
  // sanitized console are 4 samples (3.2 and 4.9 seen). A run placed wrongly is off by a whole
  // outage, 100 samples here.
  std::vector<LoggedStream> streams;
  for (const LoggedStream& stream : readLoggedStreams(simLog()))
    if (stream.tauCommand == "TA000003E8") streams.push_back(stream);
  const std::vector<RecordedRun> recorded = readRecordedRuns(dataFile());
  const std::vector<int> gaps = joinedGaps(dataPath);
  ASSERT_EQ(gaps.size(), 4u);
  ASSERT_EQ(streams.size(), 5u);
  int index = 0;
  for (std::size_t r = 1; r < streams.size(); ++r) {
    index += static_cast<int>(recorded[r - 1].sampleLines.size()) + gaps[r - 1];
    const double sent = streams[r].times.front() - streams[0].times.front();
    EXPECT_LE(std::abs(index - sent), 5.0) << "run " << r + 1;
  }
}

// The console killed mid-run leaves a file that ends on a whole line and holds every line written
// up to then, each as the instrument's readings give it.
TEST_F(UnattendedRunTest, AConsoleKilledMidRunLeavesEveryLineWrittenAndNoneTorn) {
  launchSimulator(kSpeedup);
  dataPath = dir.filePath("killed.DAT");
  QProcess console;
  console.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  console.start(MILLION_EXE, {dir.path(), dataPath});
  ASSERT_TRUE(console.waitForStarted(5000));
  const auto linesIn = [&] { return dataFile().count("\r\n"); };
  ASSERT_TRUE(waitFor([&] { return linesIn() > 600; }, 60000)) << "the run never got going";
  const qsizetype writtenBeforeKill = linesIn();
  ::kill(static_cast<pid_t>(console.processId()), SIGKILL);
  ASSERT_TRUE(console.waitForFinished(5000));
  EXPECT_EQ(console.exitStatus(), QProcess::CrashExit);

  const QByteArray file = dataFile();
  EXPECT_TRUE(file.endsWith(" \r\n")) << "torn last line";
  EXPECT_GE(file.count("\r\n"), writtenBeforeKill);
  // Every line, in order, is the one the instrument's readings give.
  EXPECT_EQ(checkRunsAgainstLog().size(), 1u);
}

}  // namespace
}  // namespace tessarin::test
