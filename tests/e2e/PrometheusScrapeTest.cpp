#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QTcpServer>
#include <QUrlQuery>
#include <memory>

#include "e2e/SimulatedConsole.h"

// A lab's Prometheus (Debian's prometheus package) scraping the console's /metrics while it runs
// against the simulator: what Prometheus stores and answers must be the console's own figures.
namespace tessarin::test {
namespace {

constexpr int kSpeedup = 50;
constexpr int kPatienceMs = 60000;

// A port free for a moment on loopback: Prometheus listens on it.
quint16 freePort() {
  QTcpServer probe;
  return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

class PrometheusScrapeTest : public SimulatedConsoleTest {
 protected:
  void SetUp() override {
    network_.setProxy(QNetworkProxy::NoProxy);
    program_ = QStandardPaths::findExecutable("prometheus");
    if (program_.isEmpty())
      GTEST_SKIP() << "Debian's prometheus package is not installed (apt-get install prometheus)";
  }
  void TearDown() override {
    if (prometheus_.state() != QProcess::NotRunning) {
      prometheus_.terminate();
      if (!prometheus_.waitForFinished(10000)) prometheus_.kill();
    }
    SimulatedConsoleTest::TearDown();
  }

  // The console on the simulator, serving at `at` and running.
  void runServing(const app::ServeAddress& at) {
    launch(kSpeedup);
    ASSERT_FALSE(HasFatalFailure());
    auto page = consoleApp().serve(at, false);
    ASSERT_TRUE(page) << page.reason().toStdString();
    served_ = page.value();
    consolePort_ = QUrl(served_.url).port();
    chooseDataFile("scraped.DAT");
    ASSERT_TRUE(initialize()) << status().toStdString();
    ASSERT_TRUE(runUntil(20)) << status().toStdString();
  }

  // Prometheus scraping the console every 250 ms as `jobs` (YAML list items) say, until ready.
  void startPrometheus(const QByteArray& jobs) {
    const quint16 port = freePort();
    ASSERT_NE(port, 0);
    base_ = QString("http://127.0.0.1:%1").arg(port);
    const QString config = dir.filePath("prometheus.yml");
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("global:\n  scrape_interval: 250ms\n  scrape_timeout: 200ms\nscrape_configs:\n" +
               jobs);
    file.close();
    prometheus_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    prometheus_.start(
        program_, {"--config.file=" + config, "--storage.tsdb.path=" + dir.filePath("tsdb"),
                   "--web.listen-address=127.0.0.1:" + QString::number(port), "--log.level=warn"});
    ASSERT_TRUE(prometheus_.waitForStarted(10000)) << prometheus_.errorString().toStdString();
    ASSERT_TRUE(waitFor([&] { return get(base_ + "/-/ready").first == 200; }, kPatienceMs))
        << "Prometheus did not get ready";
  }
  QByteArray job(const QString& name, const QString& credentials = {}) const {
    QByteArray yaml = "  - job_name: " + name.toUtf8() + "\n    static_configs:\n" +
                      "      - targets: ['127.0.0.1:" + QByteArray::number(consolePort_) + "']\n";
    if (!credentials.isEmpty())
      yaml += "    authorization:\n      credentials_file: " + credentials.toUtf8() + "\n";
    return yaml;
  }

  std::pair<int, QByteArray> get(const QString& address) {
    const std::unique_ptr<QNetworkReply> reply(network_.get(QNetworkRequest{QUrl(address)}));
    if (!waitFor([&] { return reply->isFinished(); }, kPatienceMs)) return {};
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll()};
  }
  // The result of a PromQL query: one entry per series.
  QJsonArray query(const QString& promql) {
    QUrlQuery q;
    q.addQueryItem("query", promql);
    const auto [status, body] = get(base_ + "/api/v1/query?" + q.toString(QUrl::FullyEncoded));
    EXPECT_EQ(status, 200) << body.data();
    return QJsonDocument::fromJson(body).object()["data"].toObject()["result"].toArray();
  }
  // The value of a query with one series, NaN while it has none.
  double value(const QString& promql) {
    const QJsonArray result = query(promql);
    return result.size() == 1 ? result[0]["value"][1].toString().toDouble() : std::nan("");
  }
  // Waits until `promql` has the value `expected` (within its last digits: Prometheus keeps the
  // console's doubles as they are).
  bool waitForValue(const QString& promql, double expected) {
    return waitFor([&] { return value(promql) == expected; }, kPatienceMs);
  }

  QString program_, base_;
  int consolePort_ = 0;
  qt::ConsoleApp::ServedPage served_;
  QProcess prometheus_;
  QNetworkAccessManager network_;
};

TEST_F(PrometheusScrapeTest, PrometheusStoresTheRunAsTheConsoleCountsAndAnalysesIt) {
  runServing({"127.0.0.1", 0});
  ASSERT_FALSE(HasFatalFailure());
  startPrometheus(job("console"));
  ASSERT_FALSE(HasFatalFailure());

  // Two scrapes at least, the later with more samples.
  ASSERT_TRUE(waitFor(
      [&] {
        const QJsonArray r = query("tessarin_run_samples[1m]");
        if (r.size() != 1) return false;
        const QJsonArray values = r[0]["values"].toArray();
        return values.size() >= 2 &&
               values.last()[1].toString().toDouble() > values.first()[1].toString().toDouble();
      },
      kPatienceMs))
      << "tessarin_run_samples did not rise";
  EXPECT_EQ(value("up{job=\"console\"}"), 1);
  EXPECT_EQ(value("tessarin_run_state{state=\"Running\"}"), 1);

  // Once the run is stopped its figures stand still: Prometheus must have the console's own.
  choose(console().menus().startStop);
  ASSERT_TRUE(waitForValue("tessarin_run_state{state=\"Stopped\"}", 1));
  const int samples = console().measurement().sampleCount();
  ASSERT_TRUE(waitForValue("tessarin_run_samples", samples));
  const std::vector<run::Measurement::CurvePoint> curve = console().measurement().stabilityCurve();
  ASSERT_FALSE(curve.empty());
  ASSERT_EQ(curve.front().tau, 1);
  EXPECT_TRUE(
      waitForValue(R"(tessarin_deviation{statistic="adev",tau_seconds="1"})", curve.front().value))
      << "the console's ADEV at 1 s: " << curve.front().value;
  EXPECT_GE(value("tessarin_samples_total"), samples);
  EXPECT_EQ(value("tessarin_events_total{kind=\"stopped\"}"), 1);
}

TEST_F(PrometheusScrapeTest, OffLoopbackPrometheusReadsTheMetricsWithTheTokenAndOnlyWithIt) {
  runServing({"0.0.0.0", 0});
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_FALSE(served_.token.isEmpty());
  const QString credentials = dir.filePath("console-token");
  QFile token(credentials);
  ASSERT_TRUE(token.open(QIODevice::WriteOnly));
  token.write(served_.token.toLatin1() + '\n');
  token.close();
  startPrometheus(job("with-token", credentials) + job("without-token"));
  ASSERT_FALSE(HasFatalFailure());

  EXPECT_TRUE(waitForValue("up{job=\"with-token\"}", 1));
  EXPECT_TRUE(waitForValue("tessarin_up{job=\"with-token\"}", 1));
  EXPECT_TRUE(waitForValue("up{job=\"without-token\"}", 0));
  EXPECT_TRUE(std::isnan(value("tessarin_up{job=\"without-token\"}")));
  const QJsonArray targets = QJsonDocument::fromJson(get(base_ + "/api/v1/targets").second)
                                 .object()["data"]
                                 .toObject()["activeTargets"]
                                 .toArray();
  QString refusal;
  for (const QJsonValue t : targets)
    if (t["labels"]["job"] == "without-token") refusal = t["lastError"].toString();
  EXPECT_TRUE(refusal.contains("401")) << refusal.toStdString();
}

}  // namespace
}  // namespace tessarin::test
