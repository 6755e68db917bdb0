#pragma once

#include <QDir>
#include <QTemporaryDir>

#include "app/Console.h"
#include "support/Fakes.h"

namespace tessarin::fuzz {

// The folder for the fuzz inputs' temporary directories: in memory where the machine has
// /dev/shm, since every input creates and removes one and writes its files there.
inline QString fuzzTempTemplate() {
  const QString base = QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
  return base + "/tessarin-fuzz-XXXXXX";
}

// A console on the test fakes, with its settings folder in a fresh temporary directory.
struct ConsoleOnFakes {
  QTemporaryDir folder{fuzzTempTemplate()};
  test::FakeSerialPort serial;
  test::FakeTimer timer;
  test::FakePlot dataPlot;
  test::FakePlot stabilityPlot;
  test::FakeDialogs dialogs;
  test::FakeClock clock;
  test::FakeTaskQueue tasks;
  test::FakeApplication application;
  test::FakePrinter printer;
  app::Console console{
      {serial, timer, dataPlot, stabilityPlot, dialogs, clock, tasks, application, printer},
      folder.path()};
};

}  // namespace tessarin::fuzz
