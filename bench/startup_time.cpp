// Prints how long the console takes from process start to its main window on screen, and the
// resident memory it holds then. Run with QT_QPA_PLATFORM=offscreen.
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "qt/ConsoleApp.h"

namespace {

// Seconds since this process was started, from the kernel's own record.
double secondsSinceProcessStart() {
  QFile stat("/proc/self/stat");
  QFile uptime("/proc/uptime");
  if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly)) return -1;
  const QByteArray line = stat.readAll();
  // Fields after the command name, which is in parentheses and may hold blanks.
  const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
  const double startTicks = fields.at(19).toDouble();
  const double now = uptime.readAll().split(' ').at(0).toDouble();
  return now - startTicks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long residentKilobytes() {
  QFile status("/proc/self/status");
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').at(0).toLong();
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  // Tests and benchmarks never need a display.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qapp(argc, argv);
  QTemporaryDir settings;
  tessarin::qt::ConsoleApp app(settings.path());
  app.window().show();
  QApplication::processEvents();
  const double shown = secondsSinceProcessStart();
  std::printf("start-up to main window shown: %.3f s (clock tick %.3f s)\n", shown,
              1.0 / static_cast<double>(sysconf(_SC_CLK_TCK)));
  std::printf("resident memory after start-up: %.1f MB\n",
              static_cast<double>(residentKilobytes()) / 1024.0);
  return 0;
}
