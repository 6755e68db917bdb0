#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

#include "app/Console.h"
#include "e2e/SpedUpClock.h"
#include "qt/ConsoleApp.h"
#include "support/Fakes.h"

namespace tessarin::test {

// The console's Qt assembly in this process, against the simulator program on a pseudo-terminal.
// The test answers the dialogs and chooses menu items through the main window's actions, as the
// operator's clicks would; everything else is the real program.
class SimulatedConsoleTest : public ::testing::Test {
 protected:
  static constexpr double kDutHz = 10000012.34567;

  void TearDown() override;

  // Starts the simulator at `speedup` with `simOptions` added, and the console on its line.
  // `settingsCode` is the content of globalsetting.txt (data type, Com 1, filter mode). With
  // `spedUpClock` the console's clock runs at the instrument's speed.
  void launch(int speedup, const QStringList& simOptions = {},
              const QByteArray& settingsCode = "111", bool spedUpClock = false);
  // The simulator alone, with the settings folder that puts a console on its line.
  void launchSimulator(int speedup, const QStringList& simOptions = {},
                       const QByteArray& settingsCode = "111");

  // Runs the event loop until `done` holds or `ms` have passed.
  static bool waitFor(const std::function<bool()>& done, int ms);

  app::Console& console() { return app_->console(); }
  qt::ConsoleApp& consoleApp() { return *app_; }
  QString status() { return console().status(); }
  // Chooses the item through its action in the menu bar; a disabled item does nothing.
  void choose(app::MenuItem& item);

  // "Save File as" answered with `name` in the test's folder.
  void chooseDataFile(const QString& name);
  // Initialization, until the status says "Ready to start".
  [[nodiscard]] bool initialize();
  // Start, until `samples` samples are in; they are counted as the console counts them.
  [[nodiscard]] bool runUntil(int samples);

  QByteArray dataFile() const;
  QByteArray simLog() const;

  // How one run of the data file compares with the instrument's lines.
  struct RunCheck {
    int sampleLines = 0;  // in the data file, each found intact and equal to its expected value
    int expected = 0;     // samples the readings the instrument sent give; a few more than the
                          // file holds when lines were on their way as the run ended
  };
  // Checks every sample line of every run in the data file against the values worked out from
  // the readings that the simulator logged for the run's sample stream (the streams at 1 s).
  std::vector<RunCheck> checkRunsAgainstLog();

  QTemporaryDir dir;
  QString link;
  QString dataPath;
  QProcess sim;
  FakeDialogs dialogs;

 private:
  std::unique_ptr<SpedUpClock> clock_;
  std::unique_ptr<qt::ConsoleApp> app_;
};

}  // namespace tessarin::test
