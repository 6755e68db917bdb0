// Runs the console against the simulator through a short measurement and takes the README's
// pictures: the main window during the run, the run's served page as Chromium (headless) shows
// it, then the Graphics Scales window.
//   readme_screenshots <simulator link> <output folder>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <functional>

#include "OperatorAnswers.h"
#include "app/Console.h"
#include "qt/ConsoleApp.h"

namespace {

using namespace tessarin;

bool waitFor(const std::function<bool()>& done, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(2);
  }
  return true;
}

void settle() {
  waitFor([] { return false; }, 300);
}

// Chromium draws the served page into `picture`; the console answers it meanwhile, in this loop.
bool screenshotPage(const QString& url, const QString& picture) {
  QTemporaryDir profile;
  QFile::remove(picture);
  QProcess chromium;
  chromium.start("chromium", {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                              "--no-first-run", "--disable-background-networking",
                              "--disable-component-update", "--disable-sync", "--no-proxy-server",
                              "--user-data-dir=" + profile.path(), "--virtual-time-budget=10000",
                              "--window-size=1280,900", "--screenshot=" + picture, url});
  if (!waitFor([&chromium] { return chromium.state() == QProcess::NotRunning; }, 60000)) {
    chromium.kill();
    chromium.waitForFinished(5000);
  }
  if (QFileInfo::exists(picture)) return true;
  std::fprintf(stderr, "chromium: %s\n%s\n", qPrintable(chromium.errorString()),
               chromium.readAllStandardError().right(2000).constData());
  return false;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: readme_screenshots <simulator link> <output folder>\n");
    return 2;
  }
  const QString link = QString::fromLocal8Bit(argv[1]);
  const QDir output(QString::fromLocal8Bit(argv[2]));
  QTemporaryDir settings;
  // Com 1 on the simulator; frequency data, Com 1, non-filtered.
  if (!settings.isValid() ||
      !writeFile(settings.filePath("serialports.txt"), ("Com1=" + link + "\n").toUtf8()) ||
      !writeFile(settings.filePath("globalsetting.txt"), "111"))
    return 1;

  // The data file is one in the scratch folder.
  unattended::OperatorAnswers dialogs(settings.filePath("osc1.DAT"));
  qt::ConsoleApp consoleApp(settings.path(), &dialogs);
  app::Console& c = consoleApp.console();
  qt::MainWindow& window = consoleApp.window();
  window.show();
  auto choose = [&window](const app::MenuItem& item) { window.actionOf(item)->trigger(); };
  auto fail = [&c](const char* what) {
    std::fprintf(stderr, "%s (status: %s)\n", what, qPrintable(c.status()));
    return 1;
  };

  const auto page = consoleApp.serve({"127.0.0.1", 0}, false);
  if (!page) return fail(qPrintable(page.reason()));
  choose(c.menus().saveFileAs);
  choose(c.menus().initialization);
  if (!waitFor([&c] { return c.status() == "Ready to start"; }, 60000))
    return fail("the initialization did not finish");
  choose(c.menus().startStop);
  if (!waitFor([&c] { return c.measurement().sampleCount() >= 60; }, 120000))
    return fail("the samples did not come");
  settle();
  if (!window.grab().save(output.filePath("console-run.png"))) return fail("no console picture");
  if (!screenshotPage(page.value().url, output.absoluteFilePath("served-page.png")))
    return fail("no picture of the served page");

  // The time deviation held to the G.8262 EEC option 2 mask, its limit drawn over the curve.
  choose(c.menus().showTdev);
  choose(c.menus().maskEec2);
  if (!waitFor([&c] { return c.measurement().sampleCount() >= 120; }, 120000))
    return fail("the samples for the mask did not come");
  settle();
  if (!window.grab().save(output.filePath("console-mask.png"))) return fail("no mask picture");

  choose(c.menus().startStop);
  choose(c.menus().limits);
  settle();
  QMdiSubWindow* scales = window.subWindowOf(c.windows().scalesWindow);
  if (!scales || !scales->isVisible() ||
      !scales->grab().save(output.filePath("graphics-scales.png")))
    return fail("no scales picture");
  return 0;
}
