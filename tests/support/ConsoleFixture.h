#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "app/Console.h"
#include "support/Fakes.h"

namespace tessarin::test {

// A console on fakes, with its settings folder in a fresh temporary directory. The console is
// built by `startConsole()`, so a test can first place settings files in `folder()`.
class ConsoleFixture : public ::testing::Test {
 protected:
  QString folder() const { return dir.path(); }
  QString pathOf(const QString& name) const { return dir.filePath(name); }

  // Writes `bytes` to `name` in the settings folder.
  void writeFile(const QString& name, const QByteArray& bytes) {
    QFile file(pathOf(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
  QByteArray readFile(const QString& name) const {
    QFile file(pathOf(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  app::Platform platform() {
    return {serial,  timer, watchTimer, *drawnDataPlot, *drawnStabilityPlot,
            dialogs, clock, tasks,      application,    printer};
  }
  // Builds the console on the fakes, without starting it up.
  app::Console& build();
  // Builds the console and runs its start-up.
  app::Console& startConsole();

  QTemporaryDir dir;
  FakeSerialPort serial;
  FakeTimer timer;
  FakeTimer watchTimer;
  FakePlot dataPlot;
  FakePlot stabilityPlot;
  // The plots the console draws on: the fakes, or what a test puts in front of them.
  platform::PlotControl* drawnDataPlot = &dataPlot;
  platform::PlotControl* drawnStabilityPlot = &stabilityPlot;
  FakeDialogs dialogs;
  FakeClock clock;
  FakeTaskQueue tasks;
  FakeApplication application;
  FakePrinter printer;
  std::unique_ptr<app::Console> console;
};

}  // namespace tessarin::test
