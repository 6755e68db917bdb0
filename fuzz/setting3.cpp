// setting3.txt, the fixed plot limits: any bytes as the file the Graphics Scales window loads.
// When every box then holds a number, taking them over saves the file again, and loading that
// file must give the operator the same eight boxes back.
#include <QFile>
#include <QStringList>
#include <cstdint>

#include "ConsoleOnFakes.h"
#include "app/Console.h"
#include "app/plots/Scales.h"

namespace {

using namespace tessarin;

struct ScalesConsole : fuzz::ConsoleOnFakes {
  QStringList boxTexts() const {
    QStringList texts;
    for (const app::TextBox& box : console.windows().scaleBoxes) texts << box.text();
    return texts;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ScalesConsole s;
  {
    QFile file(s.folder.filePath("setting3.txt"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) __builtin_trap();
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  app::plots::loadScalesWindow(s.console);
  const QStringList loaded = s.boxTexts();
  if (!app::plots::readScaleBoxes(s.console))
    return 0;  // a box without a number: nothing taken over
  if (!app::plots::saveScaleBoxes(s.console)) __builtin_trap();
  app::plots::loadScalesWindow(s.console);
  if (s.boxTexts() != loaded) __builtin_trap();
  return 0;
}
