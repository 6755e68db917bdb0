#include "e2e/SimulatedConsole.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cmath>

#include "e2e/ReadingReplay.h"
#include "e2e/RecordedRuns.h"
#include "e2e/SimulatorLog.h"

namespace tessarin::test {

namespace {

// Generous, for the sanitizer build on a busy machine; a passing test never waits this long.
constexpr int kPatienceMs = 60000;
constexpr int kOperatorPauseMs = 100;

QByteArray contentOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A run's samples are compared to within the last digits of the 15 the file keeps; the absolute
// part allows for the rounding of the programmed frequency, a thousand times below what one count
// of the reference changes in a fractional frequency at tau = 1 s (8e-13).
constexpr double kRelativeTolerance = 1e-12;
constexpr double kAbsoluteTolerance = 1e-15;
// The tau commands of a run at 1 s and of the initialization's refinement stages.
const std::string kRunTauCommand = "TA000003E8";
const std::string kStageTauCommand = "TA000000C8";

bool writeFile(const QString& path, const QByteArray& content) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

}  // namespace

void SimulatedConsoleTest::launch(int speedup, const QStringList& simOptions,
                                  const QByteArray& settingsCode, bool spedUpClock) {
  launchSimulator(speedup, simOptions, settingsCode);
  if (HasFatalFailure()) return;
  if (spedUpClock) clock_ = std::make_unique<SpedUpClock>(speedup);
  app_ = std::make_unique<qt::ConsoleApp>(dir.path(), &dialogs, nullptr, clock_.get());
  app_->window().show();
}

void SimulatedConsoleTest::launchSimulator(int speedup, const QStringList& simOptions,
                                           const QByteArray& settingsCode) {
  ASSERT_TRUE(dir.isValid());
  link = dir.filePath("instrument.tty");
  sim.setProgram(SIM_EXE);
  sim.setArguments(QStringList{"--link", link, "--dut-hz", QString::number(kDutHz, 'f', 5),
                               "--speedup", QString::number(speedup), "--lock-after", "2", "--log",
                               dir.filePath("sim.log")} +
                   simOptions);
  sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  sim.start();
  ASSERT_TRUE(sim.waitForStarted(5000));
  ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(link); }, 5000)) << "no pseudo-terminal";

  ASSERT_TRUE(writeFile(dir.filePath("serialports.txt"), ("Com1=" + link + "\n").toUtf8()));
  ASSERT_TRUE(writeFile(dir.filePath("globalsetting.txt"), settingsCode));
}

void SimulatedConsoleTest::TearDown() {
  app_.reset();
  if (sim.state() == QProcess::NotRunning) return;
  sim.terminate();
  ASSERT_TRUE(sim.waitForFinished(5000));
  // A sanitizer report from the simulator (a leak, say) shows as a failed exit.
  EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(sim.exitCode(), 0);
}

bool SimulatedConsoleTest::waitFor(const std::function<bool()>& done, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(1);
  }
  return true;
}

void SimulatedConsoleTest::choose(app::MenuItem& item) {
  QAction* action = app_->window().actionOf(item);
  ASSERT_NE(action, nullptr) << item.name().toStdString();
  action->trigger();
}

void SimulatedConsoleTest::chooseDataFile(const QString& name) {
  dataPath = dir.filePath(name);
  dialogs.saveAnswers.push_back(dataPath);
  choose(console().menus().saveFileAs);
}

bool SimulatedConsoleTest::initialize() {
  choose(console().menus().initialization);
  if (!waitFor([&] { return status() == "Ready to start"; }, kPatienceMs)) return false;
  // The operator's pause before Start. Lines of the last refinement stage that were on their way
  // when "PH00" went out arrive meanwhile; at full speed they come within milliseconds, but at the
  // test's speed-up a Start at once would take one as the run's first reading.
  waitFor([] { return false; }, kOperatorPauseMs);
  return true;
}

bool SimulatedConsoleTest::runUntil(int samples) {
  choose(console().menus().startStop);
  return waitFor([&] { return console().measurement().sampleCount() >= samples; }, kPatienceMs);
}

QByteArray SimulatedConsoleTest::dataFile() const { return contentOf(dataPath); }

QByteArray SimulatedConsoleTest::simLog() const { return contentOf(dir.filePath("sim.log")); }

std::vector<SimulatedConsoleTest::RunCheck> SimulatedConsoleTest::checkRunsAgainstLog() {
  const QByteArray log = simLog();
  for (const QByteArray& remark : loggedEvents(log, '#'))
    EXPECT_FALSE(remark.contains("dropping")) << "the console did not read the line in time";
  // A run's phase is measured against the frequency the last refinement stage ran at: the
  // words the final fit is relative to, not those sent after it.
  std::vector<LoggedStream> streams;
  LoggedStream lastStage;
  for (const LoggedStream& stream : readLoggedStreams(log)) {
    if (stream.tauCommand == kStageTauCommand) lastStage = stream;
    if (stream.tauCommand != kRunTauCommand) continue;
    streams.push_back(stream);
    streams.back().coarseCommand = lastStage.coarseCommand;
    streams.back().fineCommand = lastStage.fineCommand;
  }
  const std::vector<RecordedRun> runs = readRecordedRuns(dataFile());
  EXPECT_EQ(runs.size(), streams.size()) << "runs in the data file and run streams in the log";

  std::vector<RunCheck> checks;
  for (std::size_t r = 0; r < std::min(runs.size(), streams.size()); ++r) {
    const RecordedRun& run = runs[r];
    const ReplayedRun replay{run.dutHz,
                             programmedFrequency(streams[r].coarseCommand, streams[r].fineCommand),
                             run.tauMs / 1000, run.frequencyData};
    const std::vector<double> expected = expectedSampleValues(framedLines(streams[r].sent), replay);
    RunCheck check{static_cast<int>(run.sampleLines.size()), static_cast<int>(expected.size())};
    for (int i = 0; i < check.sampleLines && i < check.expected; ++i) {
      const QByteArray& line = run.sampleLines[i];
      const std::optional<double> value = sampleLineValue(line);
      const double want = expected[static_cast<std::size_t>(i)];
      if (!value ||
          std::abs(*value - want) > kRelativeTolerance * std::abs(want) + kAbsoluteTolerance) {
        ADD_FAILURE() << "run " << r + 1 << ", sample " << i + 1 << ": \"" << line.toStdString()
                      << "\", expected " << want;
        break;
      }
    }
    EXPECT_LE(check.sampleLines, check.expected) << "run " << r + 1 << " has samples never sent";
    checks.push_back(check);
  }
  return checks;
}

}  // namespace tessarin::test
