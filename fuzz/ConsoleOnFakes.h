#pragma once

#include <QDir>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/Console.h"
#include "support/Fakes.h"

namespace tessarin::fuzz {

// A fresh folder for one input's files, removed again with them. In memory where the machine has
// /dev/shm, since every input creates and removes one; made and removed without QTemporaryDir,
// whose random names and Qt folder walk cost an input far more under the sanitizers.
class InputFolder {
 public:
  InputFolder() {
    static const std::string base =
        QDir("/dev/shm").exists() ? "/dev/shm" : QDir::tempPath().toStdString();
    std::string name = base + "/tessarin-fuzz-XXXXXX";
    if (!mkdtemp(name.data())) std::abort();
    path_ = name;
  }
  ~InputFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  InputFolder(const InputFolder&) = delete;
  InputFolder& operator=(const InputFolder&) = delete;

  QString path() const { return QString::fromStdString(path_); }
  QString filePath(const QString& name) const { return path() + '/' + name; }

 private:
  std::string path_;
};

// A console on the test fakes, with its settings folder in a fresh folder of its own.
struct ConsoleOnFakes {
  InputFolder folder;
  test::FakeSerialPort serial;
  test::FakeTimer timer;
  test::FakeTimer watchTimer;
  test::FakePlot dataPlot;
  test::FakePlot stabilityPlot;
  test::FakeDialogs dialogs;
  test::FakeClock clock;
  test::FakeTaskQueue tasks;
  test::FakeApplication application;
  test::FakePrinter printer;
  app::Console console{{serial, timer, watchTimer, dataPlot, stabilityPlot, dialogs, clock, tasks,
                        application, printer},
                       folder.path()};
};

}  // namespace tessarin::fuzz
