#include <gtest/gtest.h>

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <chrono>
#include <map>

#include "app/plots/StabilityMeasure.h"
#include "app/runs/RunFixture.h"
#include "app/watch/Exposition.h"
#include "app/watch/WatchService.h"

namespace tessarin::test {
namespace {

using namespace std::chrono_literals;
using app::watch::Exposition;
using run::Measurement;

// The series of an exposition, "name{labels}" to value as written; every series must belong to a
// family whose HELP and TYPE lines came before it.
std::map<QString, QString> seriesOf(const QByteArray& text) {
  std::map<QString, QString> series;
  QStringList helped, typed;
  EXPECT_TRUE(text.endsWith('\n'));
  for (const QByteArray& line : text.split('\n')) {
    if (line.isEmpty()) continue;
    const QString l = QString::fromUtf8(line);
    if (l.startsWith("# HELP ")) helped << l.section(' ', 2, 2);
    if (l.startsWith("# TYPE ")) typed << l.section(' ', 2, 2);
    if (l.startsWith('#')) continue;
    const QString name = l.left(l.indexOf(QRegularExpression("[{ ]")));
    EXPECT_TRUE(helped.contains(name) && typed.contains(name))
        << "no HELP or TYPE: " << line.data();
    const qsizetype space = l.lastIndexOf(' ');
    EXPECT_TRUE(series.emplace(l.left(space), l.mid(space + 1)).second) << "twice: " << line.data();
  }
  return series;
}

// What Prometheus's own checker says of an exposition: empty when it takes it as it is.
QString promtoolVerdict(const QByteArray& text) {
  QProcess promtool;
  promtool.start("promtool", {"check", "metrics"});
  promtool.write(text);
  promtool.closeWriteChannel();
  promtool.waitForFinished(20000);
  return promtool.exitCode() == 0 ? QString()
                                  : QString::fromUtf8(promtool.readAllStandardOutput() +
                                                      promtool.readAllStandardError());
}

TEST(ExpositionTest, WritesNumbersAndEscapesLabelsAndHelpAsPrometheusReadsThem) {
  Exposition e;
  e.family("x", Exposition::Type::Gauge, "a \\ b\nc \"d\"");
  const struct {
    QString label;
    double value;
    const char* line;
  } cases[] = {{"plain", 1, R"(x{l="plain"} 1)"},
               {"Waiting for the filter lock", 0.1, R"(x{l="Waiting for the filter lock"} 0.1)"},
               {"q\"b\\s\nn", 1e-12, R"(x{l="q\"b\\s\nn"} 1e-12)"},
               {"µ", 1e6, R"(x{l="µ"} 1e+06)"},
               {"nan", std::nan(""), R"(x{l="nan"} NaN)"},
               {"inf", HUGE_VAL, R"(x{l="inf"} +Inf)"},
               {"-inf", -HUGE_VAL, R"(x{l="-inf"} -Inf)"},
               {"third", 1.0 / 3, R"(x{l="third"} 0.3333333333333333)"}};
  for (const auto& t : cases) e.sample("x", {{"l", t.label}}, t.value);
  const QList<QByteArray> lines = e.text().split('\n');
  ASSERT_EQ(lines.size(), 2 + std::size(cases) + 1);
  EXPECT_EQ(lines[0], R"(# HELP x a \\ b\nc "d")");
  EXPECT_EQ(lines[1], "# TYPE x gauge");
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(lines[qsizetype(i) + 2], QByteArray(cases[i].line));
}

class ConsoleMetricsTest : public RunFixture {
 protected:
  ConsoleMetricsTest() { drawnStabilityPlot = &stabilityTap; }
  QByteArray scrape(const app::watch::WatchService& s) {
    const app::watch::WatchResponse r = s.answer({false, "/metrics", {}});
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.contentType, "text/plain; version=0.0.4; charset=utf-8");
    if (!QStandardPaths::findExecutable("promtool").isEmpty()) {
      EXPECT_EQ(promtoolVerdict(r.body), "") << r.body.data();
    }
    return r.body;
  }
  app::watch::WatchService service() { return {*console, dataTap, stabilityTap, {}, {}}; }
  static QString deviation(const char* family, const char* statistic, double tau) {
    return QString("%1{statistic=\"%2\",tau_seconds=\"%3\"}")
        .arg(family, statistic, QString::fromLatin1(app::watch::exposedNumber(tau)));
  }

  app::watch::PlotTap dataTap{dataPlot, Measurement::kDataCurve};
  app::watch::PlotTap stabilityTap{stabilityPlot, Measurement::kStabilityCurve};
};

TEST_F(ConsoleMetricsTest, BeforeAnyRunTheStateIsToldAndNoFigureOfARunStandsThere) {
  initializedConsole();
  std::map<QString, QString> m = seriesOf(scrape(service()));
  EXPECT_EQ(m["tessarin_up"], "1");
  EXPECT_EQ(m["tessarin_run_state{state=\"Ready\"}"], "1");
  for (const char* other : {"Idle", "Counting", "Refining", "Waiting for the filter lock",
                            "Running", "Ended at the sample limit", "Stopped", "Resuming"})
    EXPECT_EQ(m[QString("tessarin_run_state{state=\"%1\"}").arg(other)], "0") << other;
  EXPECT_EQ(m["tessarin_run_samples"], "0");
  for (const char* counter :
       {"tessarin_samples_total", "tessarin_rejected_readings_total", "tessarin_port_losses_total",
        "tessarin_resumes_total", "tessarin_data_file_write_failures_total",
        "tessarin_events_total{kind=\"started\"}", "tessarin_events_total{kind=\"mask-failed\"}"})
    EXPECT_EQ(m[counter], "0") << counter;
  for (const auto& [series, value] : m)
    for (const char* absent : {"tessarin_tau", "tessarin_dut", "tessarin_deviation",
                               "tessarin_noise", "tessarin_last_sample"})
      EXPECT_FALSE(series.startsWith(absent)) << series.toStdString() << " " << value.toStdString();
}

TEST_F(ConsoleMetricsTest, ARunsFiguresAreThoseTheConsoleDrawsAndCountsAddUpOverRuns) {
  app::Console& c = initializedConsole();
  const app::watch::WatchService s = service();
  clock.now = 100s;
  c.menus().startStop.click();
  app::plots::toggleErrorBars(c);
  instrument->run(20);
  feed({"7FFFFFFF"});  // an outlier: a jump out, and the next reading one back
  instrument->run(21);
  clock.now = 140s;
  instrument->run(1);

  std::map<QString, QString> m = seriesOf(scrape(s));
  const QJsonObject status =
      QJsonDocument::fromJson(s.answer({false, "/api/status", {}}).body).object();
  EXPECT_EQ(status["rejectedReadings"].toInt(), 2);
  EXPECT_EQ(m["tessarin_rejected_readings_total"], "2");
  EXPECT_EQ(m["tessarin_run_state{state=\"Running\"}"], "1");
  EXPECT_EQ(m["tessarin_run_samples"], QString::number(c.measurement().sampleCount()));
  EXPECT_EQ(m["tessarin_samples_total"], QString::number(dataFile().count(" \r\n")));
  EXPECT_EQ(m["tessarin_tau_seconds"], "1");
  EXPECT_EQ(m["tessarin_dut_frequency_hertz"],
            QString::fromLatin1(app::watch::exposedNumber(status["dutHz"].toDouble())));
  const QDateTime last = QDateTime::fromString(status["lastSampleAt"].toString(), Qt::ISODate);
  EXPECT_EQ(m["tessarin_last_sample_timestamp_seconds"],
            QString::fromLatin1(app::watch::exposedNumber(double(last.toSecsSinceEpoch()))));
  EXPECT_EQ(m["tessarin_events_total{kind=\"started\"}"], "1");

  const FakePlot::Curve& drawn = stabilityPlot.curve(Measurement::kStabilityCurve);
  ASSERT_GE(drawn.x.size(), 2u);
  for (std::size_t i = 0; i < drawn.x.size(); ++i) {
    const double tau = drawn.x[i];
    EXPECT_EQ(m[deviation("tessarin_deviation", "adev", tau)].toDouble(), drawn.y[i]) << tau;
    EXPECT_EQ(m[deviation("tessarin_deviation_lower", "adev", tau)].toDouble(), drawn.low[i]);
    EXPECT_EQ(m[deviation("tessarin_deviation_upper", "adev", tau)].toDouble(), drawn.high[i]);
    const QString alpha = m[deviation("tessarin_noise_alpha", "adev", tau)];
    EXPECT_TRUE(QStringList({"-2", "-1", "0", "1", "2"}).contains(alpha)) << alpha.toStdString();
  }

  // Another statistic shown: its curve as drawn, and the Allan deviation's levels beside it.
  const std::vector<double> allanTau = drawn.x, allan = drawn.y;
  c.menus().showModifiedAllan.click();
  c.menus().startStop.click();
  clock.now = 200s;
  c.menus().startStop.click();
  instrument->run(12);
  m = seriesOf(scrape(s));
  const FakePlot::Curve& modified = stabilityPlot.curve(Measurement::kStabilityCurve);
  ASSERT_FALSE(modified.x.empty());
  for (std::size_t i = 0; i < modified.x.size(); ++i)
    EXPECT_EQ(m[deviation("tessarin_deviation", "mdev", modified.x[i])].toDouble(), modified.y[i]);
  EXPECT_TRUE(m.contains(deviation("tessarin_deviation", "adev", 1)));
  EXPECT_EQ(m["tessarin_run_samples"], QString::number(c.measurement().sampleCount()));
  EXPECT_EQ(m["tessarin_samples_total"], QString::number(dataFile().count(" \r\n")))
      << "counted over both runs";
  EXPECT_EQ(m["tessarin_rejected_readings_total"], "2");
  EXPECT_EQ(m["tessarin_events_total{kind=\"started\"}"], "2");
  EXPECT_EQ(m["tessarin_events_total{kind=\"stopped\"}"], "1");
}

TEST_F(ConsoleMetricsTest, AScrapeInTroubleTellsTheStateItIsInAndCountsTheTrouble) {
  app::Console& c = initializedConsole();
  const app::watch::WatchService s = service();
  c.menus().resumeAfterPortLoss.click();
  // The data file cannot be written: a folder stands where it should be.
  ASSERT_TRUE(QDir().mkpath(pathOf("osc1.DAT")));
  clock.now = 100s;
  c.menus().startStop.click();
  instrument->run(4);
  std::map<QString, QString> m = seriesOf(scrape(s));
  EXPECT_EQ(m["tessarin_run_state{state=\"Running\"}"], "1");
  EXPECT_EQ(m["tessarin_data_file_write_failures_total"], "4") << "the header and 3 samples";
  EXPECT_EQ(m["tessarin_events_total{kind=\"file-not-written\"}"], "1");

  serial.fail("gone");
  m = seriesOf(scrape(s));
  EXPECT_EQ(m["tessarin_run_state{state=\"Resuming\"}"], "1");
  EXPECT_EQ(m["tessarin_run_state{state=\"Running\"}"], "0");
  EXPECT_EQ(m["tessarin_port_losses_total"], "1");
  EXPECT_EQ(m["tessarin_run_samples"], "3");

  ASSERT_TRUE(QDir().rmdir(pathOf("osc1.DAT")));
  clock.now += 2s;
  watchTimer.tick();
  instrument->run();
  clock.now += 1s;
  watchTimer.tick();
  instrument->run(5);
  m = seriesOf(scrape(s));
  EXPECT_EQ(m["tessarin_run_state{state=\"Running\"}"], "1");
  EXPECT_EQ(m["tessarin_resumes_total"], "1");
  EXPECT_EQ(m["tessarin_events_total{kind=\"resumed\"}"], "1");
  EXPECT_EQ(m["tessarin_events_total{kind=\"file-written-again\"}"], "1");
  EXPECT_EQ(m["tessarin_samples_total"], "7");
}

}  // namespace
}  // namespace tessarin::test
