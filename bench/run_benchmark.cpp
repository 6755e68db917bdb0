// Replays a whole run of 999999 sample lines through the console's real core, the real plots and
// the real data file, and prints what one sample and one stability analysis cost as the run grows.
// Run offscreen: QT_QPA_PLATFORM=offscreen ./run_benchmark

#include <sys/resource.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "FollowedPage.h"
#include "app/Console.h"
#include "app/Startup.h"
#include "app/watch/ConsoleMetrics.h"
#include "app/watch/PlotTap.h"
#include "graphics/PlotDesign.h"
#include "qt/QCustomPlotControl.h"
#include "support/Fakes.h"
#include "support/ScriptedInstrument.h"

namespace {

using namespace tessarin;
using Stopwatch = std::chrono::steady_clock;

constexpr int kRunLines = 999999;  // one priming line, then samples 1 .. 999998
constexpr int kWindow = 1000;
constexpr std::array<int, 5> kCheckpoints = {1000, 10000, 100000, 500000, 999998};

double microseconds(Stopwatch::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

double percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  const auto at = static_cast<std::size_t>(std::ceil(p * static_cast<double>(values.size()))) - 1;
  std::nth_element(values.begin(), values.begin() + at, values.end());
  return values[at];
}

// A DUT a few parts in 1e10 off, drifting slowly, with a little white phase noise: consecutive
// readings differ by a few counts, far below the jump limit of 600 counts at 10 MHz.
class Instrument {
 public:
  std::string nextLine() {
    const double counts = 1.2e6 + 300 * std::sin(2 * M_PI * static_cast<double>(k_) / 200000.0) +
                          0.02 * static_cast<double>(k_) + noise_(random_);
    ++k_;
    char line[9];
    std::snprintf(line, sizeof line, "%08X",
                  static_cast<unsigned>(static_cast<std::int32_t>(std::lround(counts))));
    return line;
  }

 private:
  long k_ = 0;
  std::mt19937 random_{20261207};
  std::normal_distribution<double> noise_{0, 2};
};

// The console tuned by a real initialization to a DUT a couple of parts in 1e9 off 10 MHz, on
// real plots, with the data file in `folder`. Prints the slowest reply character of the
// initialization (the one that ends a refinement stage runs the fit and reprograms).
bool prepareForRun(app::Console& c, test::FakeSerialPort& serial, test::FakeDialogs& dialogs,
                   const QString& folder) {
  app::startUp(c);
  c.menus().com1.click();
  c.menus().nonFiltered.click();
  c.menus().frequencyData.click();
  dialogs.saveAnswers.push_back(folder + "/bench.DAT");
  c.menus().saveFileAs.click();
  test::ScriptedInstrument instrument(serial, 10000000.02);
  const auto handleCharacter = serial.onReceived;
  double slowestUs = 0;
  serial.onReceived = [&](char received) {
    const auto before = Stopwatch::now();
    handleCharacter(received);
    slowestUs = std::max(slowestUs, microseconds(Stopwatch::now() - before));
  };
  const auto clicked = Stopwatch::now();
  c.menus().initialization.click();
  const double clickUs = microseconds(Stopwatch::now() - clicked);
  instrument.run();
  serial.instrument = nullptr;
  serial.onReceived = handleCharacter;
  std::printf("Initialization handler: %.0f us; slowest reply character: %.0f us\n", clickUs,
              slowestUs);
  return c.state() == app::RunState::Ready;
}

struct Checkpoint {
  int n;
  double analysisUs;
  double metricsUs;  // building the metrics' exposition, as a scrape does
};

}  // namespace

int main(int argc, char** argv) {
  // The benchmark never needs a display.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qapp(argc, argv);
  QCommandLineParser options;
  const QCommandLineOption serveClients(
      "serve-clients", "Serves the run's page, followed by <count> page clients.", "count", "0");
  const QCommandLineOption scrapers(
      "scrapers", "Serves the run's metrics, read once a second by <count> scrapers.", "count",
      "0");
  options.addOption(serveClients);
  options.addOption(scrapers);
  options.process(qapp);
  bool countOk = false, scrapersOk = false;
  const int followers = options.value(serveClients).toInt(&countOk);
  const int scraping = options.value(scrapers).toInt(&scrapersOk);
  if (!countOk || followers < 0 || !scrapersOk || scraping < 0) {
    std::fprintf(stderr, "--serve-clients and --scrapers take a count of clients\n");
    return 2;
  }
  QTemporaryDir folder;

  qt::QCustomPlotControl dataPlot(graphics::DataPlotDesign());
  qt::QCustomPlotControl stabilityPlot(graphics::StabilityPlotDesign());
  for (QCustomPlot* plot : {dataPlot.widget(), stabilityPlot.widget()}) {
    plot->resize(800, 400);
    plot->show();
  }
  app::watch::PlotTap dataTap(dataPlot, run::Measurement::kDataCurve);
  app::watch::PlotTap stabilityTap(stabilityPlot, run::Measurement::kStabilityCurve);
  test::FakeSerialPort serial;
  test::FakeTimer timer;
  test::FakeTimer watchTimer;
  test::FakeDialogs dialogs;
  test::FakeClock clock;
  test::FakeTaskQueue tasks;
  test::FakeApplication application;
  test::FakePrinter printer;
  const app::Platform platform{serial,  timer, watchTimer, dataTap,     stabilityTap,
                               dialogs, clock, tasks,      application, printer};
  app::Console c(platform, folder.path());
  if (!prepareForRun(c, serial, dialogs, folder.path())) {
    std::fprintf(stderr, "The initialization did not finish: %s\n", qPrintable(c.status()));
    return 1;
  }

  std::unique_ptr<bench::FollowedPage> page;
  if (followers + scraping > 0) {
    auto started = bench::FollowedPage::start(c, dataTap, stabilityTap, followers, scraping);
    if (!started) {
      std::fprintf(stderr, "The page is not served: %s\n", qPrintable(started.reason()));
      return 1;
    }
    page = std::move(started.value());
  }

  const auto startClicked = Stopwatch::now();
  c.menus().startStop.click();
  const double startUs = microseconds(Stopwatch::now() - startClicked);
  if (c.state() != app::RunState::Running) {
    std::fprintf(stderr, "The run did not start: %s\n", qPrintable(c.status()));
    return 1;
  }

  Instrument instrument;
  std::vector<double> sampleUs(kRunLines + 1);
  std::vector<double> queuedUs;
  std::vector<Checkpoint> checkpoints;
  const auto runStart = Stopwatch::now();
  for (int line = 0; line < kRunLines; ++line) {
    const std::string text = instrument.nextLine() + "\r\n";
    const int n = c.measurement().sampleCount() + 1;  // the sample this line becomes
    const auto before = Stopwatch::now();
    serial.receive(text);
    sampleUs[static_cast<std::size_t>(n)] = microseconds(Stopwatch::now() - before);

    if (std::find(kCheckpoints.begin(), kCheckpoints.end(), n) != kCheckpoints.end()) {
      std::vector<double> times;
      for (int i = 0; i < 5; ++i) {
        const auto t = Stopwatch::now();
        c.measurement().analyseStability();
        times.push_back(microseconds(Stopwatch::now() - t));
      }
      std::vector<double> exposition;
      for (int i = 0; i < 5; ++i) {
        const auto t = Stopwatch::now();
        const QByteArray metrics = app::watch::consoleMetrics(c, stabilityTap);
        exposition.push_back(microseconds(Stopwatch::now() - t));
        if (metrics.isEmpty()) return 1;
      }
      checkpoints.push_back({n, percentile(times, 0.5), percentile(exposition, 0.5)});
    }
    if (line % 1000 == 0) {
      const auto t = Stopwatch::now();
      QApplication::processEvents();
      queuedUs.push_back(microseconds(Stopwatch::now() - t));
    }
  }
  const double wallSeconds = std::chrono::duration<double>(Stopwatch::now() - runStart).count();
  const bench::FollowedPage::Tally tally = page ? page->stop() : bench::FollowedPage::Tally{};
  const bool endedItself =
      c.state() == app::RunState::EndedAtSampleLimit && !dialogs.messages.empty();
  const auto stopClicked = Stopwatch::now();
  c.menus().startStop.click();
  const double stopUs = microseconds(Stopwatch::now() - stopClicked);

  std::printf("Run of %d lines: %.1f s wall time (%.1f us per line on average)\n", kRunLines,
              wallSeconds, wallSeconds * 1e6 / kRunLines);
  std::printf("Run ended itself: %s; data file %lld bytes; stability levels shown: %zu\n",
              endedItself ? "yes" : "no",
              static_cast<long long>(QFileInfo(c.recorder().dataFile().path()).size()),
              stabilityPlot.widget()->graphCount() > 0
                  ? static_cast<std::size_t>(stabilityPlot.widget()->graph(0)->dataCount())
                  : std::size_t{0});
  std::printf("%9s %12s %12s %12s %14s %13s\n", "N", "median us", "p99 us", "max us", "analysis us",
              "metrics us");
  for (const Checkpoint& point : checkpoints) {
    const int first = std::max(1, point.n - kWindow / 2);
    const int last = std::min(kRunLines - 1, first + kWindow - 1);
    const std::vector<double> window(sampleUs.begin() + first, sampleUs.begin() + last + 1);
    std::printf("%9d %12.1f %12.1f %12.1f %14.1f %13.1f\n", point.n, percentile(window, 0.5),
                percentile(window, 0.99), percentile(window, 1.0), point.analysisUs,
                point.metricsUs);
  }
  // Between every 1000 lines the console's pending events run: its redraws and, with the page
  // served, the page's answers.
  std::printf("Queued events (processEvents every 1000 lines): median %.0f us, max %.0f us\n",
              percentile(queuedUs, 0.5), percentile(queuedUs, 1.0));
  if (page) {
    std::printf(
        "Page clients: %d, scrapers: %d; requests answered %d, failed %d; answer median %.0f us, "
        "p99 %.0f us, max %.0f us\n",
        followers, scraping, tally.answered, tally.failed, percentile(tally.answerUs, 0.5),
        percentile(tally.answerUs, 0.99), percentile(tally.answerUs, 1.0));
    for (const QString& problem : tally.problems.mid(0, 10))
      std::printf("  failed: %s\n", qPrintable(problem));
  }

  const auto sum = [](const std::vector<double>& v) {
    return std::accumulate(v.begin(), v.end(), 0.0);
  };
  std::printf("Time in line handling %.1f s, in queued events %.1f s\n", sum(sampleUs) / 1e6,
              sum(queuedUs) / 1e6);
  std::printf("Lines that took over 1 ms: %ld, over 5 ms: %ld\n",
              std::count_if(sampleUs.begin(), sampleUs.end(), [](double us) { return us > 1e3; }),
              std::count_if(sampleUs.begin(), sampleUs.end(), [](double us) { return us > 5e3; }));

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  // Wall time well above the CPU time means the machine was busy with other work.
  std::printf("CPU time: %.1f s user, %.1f s system\n", seconds(usage.ru_utime),
              seconds(usage.ru_stime));
  // The start saves globalsetting.txt, which waits for the disk (fdatasync), and appends the
  // run header.
  std::printf("Start handler: %.0f us; Stop handler: %.0f us\n", startUs, stopUs);
  std::printf("Peak resident memory: %.1f MB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
  return tally.failed == 0 ? 0 : 1;
}
