#pragma once

#include <QTemporaryDir>

#include "app/Console.h"
#include "support/Fakes.h"

namespace tessarin::fuzz {

// A console on the test fakes, with its settings folder in a fresh temporary directory.
struct ConsoleOnFakes {
  QTemporaryDir folder;
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
