#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QVariant>
#include <cmath>
#include <memory>

#include "e2e/ServedPageDom.h"
#include "e2e/SimulatedConsole.h"

// The run's page as a browser shows it: Debian's Chromium, headless, loads the page the console
// serves and runs its script; what it drew must be what the console's API says, to the digit.
namespace tessarin::test {
namespace {

constexpr int kSpeedup = 200;
// Enough for a stability plot of several points: the analysis runs every 10 samples.
constexpr int kSamples = 120;
constexpr int kPatienceMs = 60000;
// The console's look for changes comes once a second; after this, a stopped run shows no more.
constexpr int kSettleMs = 2500;
const QString kChromium = "/usr/bin/chromium";

QJsonObject jsonObject(const QByteArray& body) { return QJsonDocument::fromJson(body).object(); }

// The page shows a value as JavaScript's String() has it, a dash for none. Integral numbers have
// no ".0"; others are compared as the doubles both sides parse to, exactly.
void expectShownAs(const QString& shown, const QJsonValue& value, const QString& what) {
  SCOPED_TRACE(what.toStdString());
  if (value.isNull() || value.isUndefined()) {
    EXPECT_EQ(shown, QString("—"));
  } else if (value.isString()) {
    EXPECT_EQ(shown, value.toString());
  } else if (const double number = value.toDouble();
             number == std::trunc(number) && std::abs(number) < 1e15) {
    EXPECT_EQ(shown, QString::number(static_cast<qint64>(number)));
  } else {
    bool parsed = false;
    EXPECT_EQ(shown.toDouble(&parsed), number) << shown.toStdString();
    EXPECT_TRUE(parsed) << shown.toStdString();
  }
}

class ServedPageTest : public SimulatedConsoleTest {
 protected:
  struct Answer {
    int status = 0;
    QByteArray body;
  };
  struct Browser {
    QByteArray output;
    QString failure;  // why Chromium gave nothing, empty when it did
  };

  void SetUp() override { network_.setProxy(QNetworkProxy::NoProxy); }

  // The console on the simulator, serving at `at`, through a run of kSamples, then stopped;
  // `choices` are made on the console's menus before the run.
  void runAndStop(const app::ServeAddress& at,
                  const std::vector<app::MenuItem app::Menus::*>& choices = {}) {
    launch(kSpeedup);
    ASSERT_FALSE(HasFatalFailure());
    for (app::MenuItem app::Menus::*item : choices) choose(console().menus().*item);
    auto page = consoleApp().serve(at, false);
    ASSERT_TRUE(page) << page.reason().toStdString();
    served_ = page.value();
    // The operator's alert command, which notes each event it is given.
    QFile alert(dir.filePath("alert"));
    ASSERT_TRUE(alert.open(QIODevice::WriteOnly));
    alert.write("#!/bin/sh\nprintf '%s|%s\\n' \"$1\" \"$2\" >> \"$0.log\"\n");
    alert.setPermissions(alert.permissions() | QFileDevice::ExeOwner);
    alert.close();
    consoleApp().alertWith(alert.fileName());
    chooseDataFile("served.DAT");
    ASSERT_TRUE(initialize()) << status().toStdString();
    ASSERT_TRUE(runUntil(kSamples)) << status().toStdString();
    choose(console().menus().startStop);
    waitFor([] { return false; }, kSettleMs);
  }

  // The served page's address as this machine reaches it, with `path` and `query` added.
  QString url(const QString& path = {}, const QString& query = {}) const {
    QString base = served_.url;
    base.replace("0.0.0.0", "127.0.0.1");
    return base + path + (query.isEmpty() ? "" : "?" + query);
  }

  // A GET answered while the console's event loop runs.
  Answer get(const QString& address, const QByteArray& authorization = {}) {
    QNetworkRequest request{QUrl(address)};
    if (!authorization.isEmpty()) request.setRawHeader("Authorization", authorization);
    const std::unique_ptr<QNetworkReply> reply(network_.get(request));
    if (!waitFor([&] { return reply->isFinished(); }, kPatienceMs)) return {};
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll()};
  }

  // Chromium headless on `address`, run beside the console so that the console answers it.
  Browser browse(const QString& address, const QString& task) {
    if (!QFileInfo(kChromium).isExecutable()) return {{}, kChromium + " is not installed"};
    QTemporaryDir profile;
    QProcess chromium;
    chromium.start(kChromium, {"--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                               "--no-first-run", "--disable-background-networking",
                               "--disable-component-update", "--disable-sync", "--no-proxy-server",
                               "--user-data-dir=" + profile.path(), "--virtual-time-budget=10000",
                               "--window-size=1280,1000", task, address});
    if (!waitFor([&] { return chromium.state() == QProcess::NotRunning; }, kPatienceMs)) {
      chromium.kill();
      chromium.waitForFinished(5000);
      return {{}, "it did not finish within a minute"};
    }
    const QByteArray output = chromium.readAllStandardOutput();
    if (chromium.error() == QProcess::FailedToStart) return {{}, chromium.errorString()};
    if (output.isEmpty() && task == "--dump-dom")
      return {{},
              "exit code " + QString::number(chromium.exitCode()) + ", " +
                  QString::fromLocal8Bit(chromium.readAllStandardError().trimmed().right(300))};
    return {output, {}};
  }

  qt::ConsoleApp::ServedPage served_;

 private:
  QNetworkAccessManager network_;
};

TEST_F(ServedPageTest, ThePageShowsWhatTheApiSaysOfAStoppedRun) {
  runAndStop({"127.0.0.1", 0});
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_TRUE(served_.token.isEmpty()) << "no token on a loopback address";
  const Browser browser = browse(url(), "--dump-dom");
  if (!browser.failure.isEmpty())
    GTEST_SKIP() << "Chromium cannot start here: " << browser.failure.toStdString();
  const ServedPageDom dom = readServedPageDom(browser.output);

  const Answer statusAnswer = get(url("api/status"));
  const Answer stabilityAnswer = get(url("api/stability"));
  const Answer dataAnswer = get(url("api/data", "max=2000"));
  ASSERT_EQ(statusAnswer.status, 200);
  ASSERT_EQ(stabilityAnswer.status, 200);
  ASSERT_EQ(dataAnswer.status, 200);
  const QJsonObject state = jsonObject(statusAnswer.body);
  const QJsonArray points = jsonObject(stabilityAnswer.body)["points"].toArray();
  const QJsonArray samples = jsonObject(dataAnswer.body)["points"].toArray();

  EXPECT_EQ(dom.problem, "");
  EXPECT_EQ(dom.link, "Live") << "the page follows the run over its WebSocket";
  EXPECT_EQ(dom.status, state["status"].toString());
  EXPECT_EQ(dom.revision, state["revision"].toInteger()) << "the page drew the run as it ended";
  const QStringList facts{"state",        "dutHz",    "tauSeconds",   "mode",
                          "stored",       "dataFile", "samples",      "rejectedReadings",
                          "runStartedAt", "resumes",  "lastSampleAt", "waitingLines"};
  EXPECT_EQ(dom.facts.size(), facts.size());
  for (const QString& fact : facts) {
    ASSERT_TRUE(dom.facts.contains(fact)) << fact.toStdString();
    expectShownAs(dom.facts[fact], state[fact], fact);
  }
  EXPECT_EQ(state["samples"].toInt(), console().measurement().sampleCount());
  QFile alerts(dir.filePath("alert.log"));
  ASSERT_TRUE(alerts.open(QIODevice::ReadOnly));
  EXPECT_EQ(alerts.readAll(), "started|Running...\nstopped|Stopped after " +
                                  QByteArray::number(console().measurement().sampleCount()) +
                                  " samples\n");
  EXPECT_EQ(state["dataFile"].toString(), dataPath);

  ASSERT_GE(points.size(), 4) << "several stability points";
  EXPECT_EQ(dom.stabilityPoints, points.size());
  EXPECT_GE(samples.size(), kSamples);
  EXPECT_EQ(dom.dataPoints, samples.size());
  ASSERT_EQ(dom.stabilityRows.size(), std::size_t(points.size()));
  for (qsizetype i = 0; i < points.size(); ++i) {
    const QJsonObject point = points[i].toObject();
    const QStringList& row = dom.stabilityRows[std::size_t(i)];
    ASSERT_EQ(row.size(), 5) << "data-tau and four cells, row " << i;
    const QString at = "row " + QString::number(i) + ", ";
    expectShownAs(row[0], point["tau"], at + "data-tau");
    expectShownAs(row[1], point["tau"], at + "tau");
    expectShownAs(row[2], point["value"], at + "value");
    expectShownAs(row[3], point["low"], at + "low");
    expectShownAs(row[4], point["high"], at + "high");
  }

  const QString picture = QCoreApplication::applicationDirPath() + "/served-page.png";
  QFile::remove(picture);
  const Browser shot = browse(url(), "--screenshot=" + picture);
  EXPECT_TRUE(shot.failure.isEmpty()) << shot.failure.toStdString();
  EXPECT_EQ(QImage(picture).size(), QSize(1280, 1000)) << picture.toStdString();
}

TEST_F(ServedPageTest, TheChosenMaskIsDrawnOverTheCurveWithItsVerdictBeside) {
  runAndStop({"127.0.0.1", 0}, {&app::Menus::showTdev, &app::Menus::maskPrc});
  ASSERT_FALSE(HasFatalFailure());
  const Browser browser = browse(url(), "--dump-dom");
  if (!browser.failure.isEmpty())
    GTEST_SKIP() << "Chromium cannot start here: " << browser.failure.toStdString();
  const ServedPageDom dom = readServedPageDom(browser.output);
  const QJsonObject mask = jsonObject(get(url("api/stability")).body)["mask"].toObject();
  ASSERT_EQ(mask["name"].toString(), "prc");
  QString verdict = "Mask G.811 PRC (ITU-T G.811 (09/97), Table 2): " + mask["verdict"].toString();
  QStringList failing;
  for (const QJsonValue point : mask["points"].toArray())
    if (point["verdict"].toString() == "fail")
      failing << QVariant(point["tau"].toDouble()).toString();
  if (!failing.isEmpty()) verdict += " at tau " + failing.join(", ") + " s";
  EXPECT_EQ(dom.maskVerdict, verdict);
  const qsizetype linePoints = mask["line"]["tau"].toArray().size();
  EXPECT_GE(linePoints, 2);
  EXPECT_EQ(dom.maskPoints, linePoints);
}

TEST_F(ServedPageTest, OffLoopbackEveryRequestShowsTheTokenAndThePageCarriesIt) {
  runAndStop({"0.0.0.0", 0});
  ASSERT_FALSE(HasFatalFailure());
  const QByteArray token = served_.token.toLatin1();
  ASSERT_FALSE(token.isEmpty());
  EXPECT_TRUE(console().windows().servedPageBox.text().contains(token.left(32)))
      << "the About window shows the token";
  QByteArray wrong = token;
  wrong.back() = wrong.back() == 'a' ? 'b' : 'a';

  struct Access {
    const char* name;
    QString query;
    QByteArray authorization;
    int status;
  };
  const Access accesses[] = {
      {"no token", {}, {}, 401},
      {"token in the query", "token=" + token, {}, 200},
      {"bearer token", {}, "Bearer " + token, 200},
      {"wrong token in the query", "token=" + wrong, {}, 401},
      {"wrong bearer token", {}, "Bearer " + wrong, 401},
  };
  const QString fileName = QFileInfo(dataPath).fileName();
  for (const QString& path : QStringList{"api/status", "data"}) {
    for (const Access& access : accesses) {
      SCOPED_TRACE(access.name + (", /" + path).toStdString());
      const Answer answer = get(url(path, access.query), access.authorization);
      EXPECT_EQ(answer.status, access.status);
      if (access.status != 401) continue;
      EXPECT_FALSE(answer.body.contains(fileName.toUtf8())) << answer.body.toStdString();
      EXPECT_FALSE(answer.body.contains("samples")) << answer.body.toStdString();
      EXPECT_FALSE(answer.body.contains("Stop")) << answer.body.toStdString();
    }
  }

  // The page's script and style sheets are fetched by the browser with no header of ours: only
  // the token the page's links carry lets them through.
  const Browser browser = browse(url({}, "token=" + token), "--dump-dom");
  if (!browser.failure.isEmpty())
    GTEST_SKIP() << "Chromium cannot start here: " << browser.failure.toStdString();
  const ServedPageDom dom = readServedPageDom(browser.output);
  EXPECT_EQ(dom.problem, "");
  EXPECT_GT(dom.dataPoints.value_or(0), 0);
  EXPECT_GT(dom.stabilityPoints.value_or(0), 0);
  EXPECT_EQ(dom.facts["dataFile"], dataPath);
}

}  // namespace
}  // namespace tessarin::test
