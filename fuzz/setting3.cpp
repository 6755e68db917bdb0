// setting3.txt, the fixed plot limits: any bytes as the file the Graphics Scales window loads.
// When every box then holds a number, taking them over saves the file again, and loading that
// file must give the operator the same eight boxes back.
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>

#include "app/Console.h"
#include "graphics/Scales.h"
#include "support/Fakes.h"

namespace {

using namespace tessarin;

struct ScalesConsole {
  QStringList boxTexts() const {
    QStringList texts;
    for (const app::TextBox& box : console.windows.scaleBoxes) texts << box.text();
    return texts;
  }

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ScalesConsole s;
  {
    QFile file(s.folder.filePath("setting3.txt"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) __builtin_trap();
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  graphics::loadScalesWindow(s.console);
  const QStringList loaded = s.boxTexts();
  if (graphics::storeScales(s.console)) return 0;  // a box without a number: nothing taken over
  graphics::applyScales(s.console);
  graphics::loadScalesWindow(s.console);
  if (s.boxTexts() != loaded) __builtin_trap();
  return 0;
}
