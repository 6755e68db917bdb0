// The million-sample run: drives the console's own assembly (qt::ConsoleApp, as the program's
// main() builds it, in the real event loop) through one whole run to its 999999-sample end against
// the instrument on the Com 1 of the settings folder, answering the dialogs as an operator would,
// and prints what the run cost. scripts/million-sample.sh runs it against the simulator. With
// --serve it serves the run's page on 127.0.0.1 as well, for the script's page clients to follow:
// it prints where as soon as it serves ("served_at URL"), and when the run has reached its end
// ("run_ended"), so that the clients can stop before the console quits.
#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "OperatorAnswers.h"
#include "app/Console.h"
#include "qt/ConsoleApp.h"

namespace {

// Kilobytes of the process's memory as /proc/self/status tells it ("VmRSS", "VmHWM").
long memoryKb(const char* field) {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith(field))
      return line.mid(line.indexOf(':') + 1).trimmed().split(' ')[0].toLong();
  return -1;
}

// Seconds of processor time the program has used so far, its own and the kernel's for it.
double processorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// What the run cost, measured from the console's receive handler: every reply line of the run is
// timed as the console finishes handling it.
struct RunFigures {
  QElapsedTimer clock;
  bool running = false;
  qint64 startNs = 0, endNs = 0, lastLineNs = 0;
  double processorAtStart = 0, processorAtEnd = 0;
  qint64 lines = 0;
  qint64 largestGapNs = 0;
  int largestGapAtSample = 0;
  long residentAt100k = -1, residentAtEnd = -1;
  int limitMessages = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  const bool serve = argc == 4 && QByteArray(argv[3]) == "--serve";
  if (argc != 3 && !serve) {
    std::fprintf(stderr, "usage: %s SETTINGS_FOLDER DATA_FILE [--serve]\n", argv[0]);
    return 2;
  }
  tessarin::unattended::OperatorAnswers answers(QString::fromLocal8Bit(argv[2]));
  tessarin::qt::ConsoleApp consoleApp(QString::fromLocal8Bit(argv[1]), &answers);
  consoleApp.window().show();
  if (serve) {
    const auto page = consoleApp.serve({QStringLiteral("127.0.0.1"), 0}, false);
    if (!page) {
      std::fprintf(stderr, "the page is not served: %s\n", qPrintable(page.reason()));
      return 1;
    }
    std::printf("served_at %s\n", qPrintable(page.value().url));
    std::fflush(stdout);
  }
  tessarin::app::Console& c = consoleApp.console();
  const auto choose = [&](tessarin::app::MenuItem& item) {
    consoleApp.window().actionOf(item)->trigger();
  };

  RunFigures run;
  run.clock.start();
  const auto handle = c.platform().serialPort.onReceived;
  c.platform().serialPort.onReceived = [&](char received) {
    handle(received);
    if (received != '\r' || !run.running) return;
    const qint64 now = run.clock.nsecsElapsed();
    if (run.lines > 0 && now - run.lastLineNs > run.largestGapNs) {
      run.largestGapNs = now - run.lastLineNs;
      run.largestGapAtSample = c.measurement().sampleCount();
    }
    run.lastLineNs = now;
    ++run.lines;
    if (run.residentAt100k < 0 && c.measurement().sampleCount() >= 100000)
      run.residentAt100k = memoryKb("VmRSS");
  };
  answers.onMessage = [&](const QString& text) {
    if (text != QLatin1String("Sample 999999")) return;
    ++run.limitMessages;
    if (!run.running) return;
    run.running = false;
    run.endNs = run.clock.nsecsElapsed();
    run.processorAtEnd = processorSeconds();
    run.residentAtEnd = memoryKb("VmRSS");
    if (serve) {
      std::printf("run_ended\n");
      std::fflush(stdout);
    }
    // The lines on their way when "PH00" went out come in meanwhile, then the operator quits.
    QTimer::singleShot(2000, [&] { choose(c.menus().quit); });
  };

  // The operator: a data file, the initialization, a pause once it is ready, then Start.
  choose(c.menus().saveFileAs);
  choose(c.menus().initialization);
  QTimer operatorWatch;
  qint64 readySinceNs = -1;
  QObject::connect(&operatorWatch, &QTimer::timeout, [&] {
    if (run.running || run.endNs > 0) return;
    if (c.status() != QLatin1String("Ready to start")) {
      if (run.clock.elapsed() > 120000) {
        std::fprintf(stderr, "not ready after two minutes: %s\n", qPrintable(c.status()));
        QApplication::exit(1);
      }
      return;
    }
    if (readySinceNs < 0) readySinceNs = run.clock.nsecsElapsed();
    if (run.clock.nsecsElapsed() - readySinceNs < 100000000) return;
    run.running = true;
    run.startNs = run.clock.nsecsElapsed();
    run.processorAtStart = processorSeconds();
    choose(c.menus().startStop);
  });
  operatorWatch.start(10);

  const int exitCode = QApplication::exec();
  if (run.endNs == 0) {
    std::fprintf(stderr, "the run did not reach its end: %s\n", qPrintable(c.status()));
    return 1;
  }
  const double seconds = static_cast<double>(run.endNs - run.startNs) / 1e9;
  std::printf("samples %d\n", c.measurement().sampleCount());
  std::printf("limit_messages %d\n", run.limitMessages);
  std::printf("run_seconds %.1f\n", seconds);
  std::printf("lines_per_second %.0f\n", static_cast<double>(run.lines) / seconds);
  std::printf("processor_us_per_line %.1f\n",
              (run.processorAtEnd - run.processorAtStart) * 1e6 / static_cast<double>(run.lines));
  std::printf("largest_gap_ms %.1f\n", static_cast<double>(run.largestGapNs) / 1e6);
  std::printf("largest_gap_at_sample %d\n", run.largestGapAtSample);
  std::printf("resident_kb_at_100000 %ld\n", run.residentAt100k);
  std::printf("resident_kb_at_end %ld\n", run.residentAtEnd);
  std::printf("peak_resident_kb %ld\n", memoryKb("VmHWM"));
  std::printf("final_status %s\n", qPrintable(c.status()));
  return exitCode;
}
