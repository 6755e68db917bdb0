#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>

#include "app/plots/StabilityMeasure.h"
#include "app/runs/RunFixture.h"
#include "app/watch/WatchService.h"

namespace tessarin::test {
namespace {

using namespace std::chrono_literals;
using app::watch::WatchRequest;
using run::Measurement;

// A console whose plots the served page taps, as the console's own assembly has it.
class WatchServiceTest : public RunFixture {
 protected:
  WatchServiceTest() {
    drawnDataPlot = &dataTap;
    drawnStabilityPlot = &stabilityTap;
  }
  app::watch::WatchService service(QByteArray token = {}) {
    return {*console,
            dataTap,
            stabilityTap,
            {{"/index.html", {"text/html", R"(<script src="page.js"></script>)"}},
             {"/page.js", {"text/javascript", "draw();"}}},
            token};
  }
  static QJsonObject get(const app::watch::WatchService& s, const QString& path,
                         const QString& query = {}) {
    const app::watch::WatchResponse r = s.answer({false, path, QUrlQuery(query)});
    EXPECT_EQ(r.status, 200) << path.toStdString() << ": " << r.body.toStdString();
    EXPECT_EQ(r.contentType, "application/json; charset=utf-8");
    return QJsonDocument::fromJson(r.body).object();
  }
  static QStringList eventNames(const app::watch::WatchService& s) {
    QStringList names;
    for (const QJsonValue e : get(s, "/api/events")["events"].toArray())
      names << e["name"].toString();
    return names;
  }

  app::watch::PlotTap dataTap{dataPlot, Measurement::kDataCurve};
  app::watch::PlotTap stabilityTap{stabilityPlot, Measurement::kStabilityCurve};
};

TEST_F(WatchServiceTest, TheApiTellsTheRunAndGivesThePlotsTheirOwnNumbers) {
  app::Console& c = initializedConsole();
  app::watch::WatchService s = service();
  EXPECT_TRUE(get(s, "/api/status")["runStartedAt"].isNull()) << "no run yet";
  clock.now = 100s;
  c.menus().startStop.click();
  instrument->run(12);
  clock.now = 130s;
  app::plots::toggleErrorBars(c);
  instrument->run(30);
  c.menus().startStop.click();

  const QJsonObject status = get(s, "/api/status");
  const QDateTime started = QDateTime(QDate(2026, 12, 7), QTime(9, 14, 2)).addSecs(100);
  EXPECT_EQ(status["state"], "Stopped");
  EXPECT_EQ(status["samples"].toInt(), c.measurement().sampleCount());
  EXPECT_EQ(status["samples"].toInt(), dataFile().count(" \r\n"));
  EXPECT_EQ(status["dutHz"].toDouble(), 10000000);
  EXPECT_EQ(status["tauSeconds"].toDouble(), 1);
  EXPECT_EQ(status["mode"], "Non filtered");
  EXPECT_EQ(status["stored"], "frequency");
  EXPECT_EQ(status["dataFile"], pathOf("osc1.DAT"));
  EXPECT_EQ(QDateTime::fromString(status["runStartedAt"].toString(), Qt::ISODate), started);
  EXPECT_EQ(QDateTime::fromString(status["lastSampleAt"].toString(), Qt::ISODate),
            started.addSecs(30));
  EXPECT_EQ(status["waitingLines"].toInt(), 0);
  EXPECT_EQ(status["resumes"].toInt(), 0);
  EXPECT_EQ(status["status"], c.status());

  const FakePlot::Curve& drawn = stabilityPlot.curve(Measurement::kStabilityCurve);
  const QJsonArray points = get(s, "/api/stability")["points"].toArray();
  ASSERT_EQ(std::size_t(points.size()), drawn.x.size());
  ASSERT_FALSE(drawn.low.empty());
  for (qsizetype i = 0; i < points.size(); ++i) {
    const auto k = std::size_t(i);
    EXPECT_EQ(points[i]["tau"].toDouble(), drawn.x[k]);
    EXPECT_EQ(points[i]["value"].toDouble(), drawn.y[k]);
    EXPECT_EQ(points[i]["low"].toDouble(), drawn.low[k]);
    EXPECT_EQ(points[i]["high"].toDouble(), drawn.high[k]);
  }

  const FakePlot::Curve& data = dataPlot.curve(Measurement::kDataCurve);
  const QJsonArray samples = get(s, "/api/data")["points"].toArray();
  ASSERT_EQ(std::size_t(samples.size()), data.x.size());
  for (qsizetype i = 0; i < samples.size(); ++i) {
    EXPECT_EQ(samples[i][0].toDouble(), data.x[std::size_t(i)]);
    EXPECT_EQ(samples[i][1].toDouble(), data.y[std::size_t(i)]);
  }
  EXPECT_EQ(get(s, "/api/data", "max=4")["points"].toArray().size(), 4);
  EXPECT_EQ(eventNames(s), QStringList({"started", "stopped"}));
  EXPECT_EQ(s.answer({false, "/data", {}}).filePath, pathOf("osc1.DAT"));
}

TEST_F(WatchServiceTest, AnswersWhatIsNotThereOrNotMeantShortlyAndTellsWhenSomethingChanged) {
  app::Console& c = initializedConsole();
  app::watch::WatchService s = service("f00d");
  struct Case {
    QString path, query;
    int status;
  };
  for (const Case& bad :
       {Case{"/nothing", "", 404}, Case{"/api/status/", "", 404}, Case{"/api/data", "max=1", 400},
        Case{"/api/data", "max=abc", 400}, Case{"/api/data", "max=16385", 400}}) {
    const app::watch::WatchResponse r = s.answer({false, bad.path, QUrlQuery(bad.query)});
    EXPECT_EQ(r.status, bad.status) << bad.path.toStdString() << "?" << bad.query.toStdString();
    EXPECT_LT(r.body.size(), 100);
  }
  EXPECT_TRUE(s.answer({true, "/api/status", {}}).body.isEmpty()) << "HEAD: no body";
  EXPECT_EQ(s.answer({false, "/", {}}).body, R"(<script src="page.js?token=f00d"></script>)")
      << "the page's own requests carry the token";

  EXPECT_TRUE(s.refresh());
  EXPECT_FALSE(s.refresh()) << "nothing changed";
  c.menus().startStop.click();
  instrument->run(3);
  EXPECT_TRUE(s.refresh());
  EXPECT_EQ(get(s, "/api/status")["revision"].toInt(), 2);
}

TEST_F(WatchServiceTest, EventsAreToldOnceEachAsTheRunMeetsThem) {
  app::Console& c = initializedConsole();
  app::watch::WatchService s = service();
  c.menus().startStop.click();
  instrument->run(3);
  clock.now += 11s;
  watchTimer.tick();
  instrument->run(2);
  serial.fail("gone");
  EXPECT_EQ(eventNames(s), QStringList({"started", "silence", "port-lost"}));
  const QJsonArray events = get(s, "/api/events")["events"].toArray();
  EXPECT_EQ(events.last()["text"], c.status());
}

}  // namespace
}  // namespace tessarin::test
