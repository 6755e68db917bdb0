#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "app/runs/RunFixture.h"
#include "qt/watch/RawClient.h"
#include "qt/watch/WatchServer.h"

// The served page under the attacks an outside tester tried, over real sockets on loopback
// addresses, each bounded in bytes and time, while the console records a run on its fakes.
namespace tessarin::test {
namespace {

// AddressSanitizer keeps freed memory in quarantine and adds its shadow to every block, so the
// resident memory of a sanitizer build says nothing of what the console holds for a client: the
// bounds are checked in the normal build, the drops and the service in both.
// The same instrumentation makes every answer about three times as costly: the processor time
// allowed for 2000 pipelined answers grows with it.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kResidentMemorySaysAnything = false;
constexpr double kPipelinedAnswersSeconds = 3.0;
#else
constexpr bool kResidentMemorySaysAnything = true;
constexpr double kPipelinedAnswersSeconds = 1.0;
#endif

using namespace std::chrono_literals;

const QByteArray kToken(64, 'c');
const QByteArray kChartLibrary(129 * 1024, 'x');

double cpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int statusOf(const QByteArray& answer) {
  return answer.startsWith("HTTP/1.1 ") ? answer.mid(9, 3).toInt() : 0;
}

class HostileClientsTest : public RunFixture {
 protected:
  // Serves the page of a console that is recording a run.
  void serve(QByteArray token = {}, const QHostAddress& at = QHostAddress::LocalHost,
             qt::ClientTimes times = {}) {
    drawnDataPlot = &dataTap;
    drawnStabilityPlot = &stabilityTap;
    initializedConsole();
    console->menus().startStop.click();
    service = std::make_unique<app::watch::WatchService>(
        *console, dataTap, stabilityTap,
        QHash<QString, app::watch::PageAsset>{
            {"/dygraph.min.js", {"text/javascript; charset=utf-8", kChartLibrary}}},
        token);
    server = std::make_unique<qt::WatchServer>(*service, token, times);
    const platform::Result<quint16> listening = server->listenOn(at, 0);
    ASSERT_TRUE(listening) << listening.reason().toStdString();
    port = listening.value();
    host = "127.0.0.1:" + QByteArray::number(port);
    startMiB = residentMiB();
  }

  // One turn of the console's event loop, with a reading from the instrument every 20 ms; notes
  // the longest turn and the highest resident memory.
  void turn() {
    const qint64 start = clock.elapsed();
    QCoreApplication::processEvents();
    if (clock.elapsed() - lastReading >= 20) {
      instrument->run(1);
      ++readings;
      lastReading = clock.elapsed();
    }
    std::this_thread::sleep_for(200us);
    longestTurnMs = std::max(longestTurnMs, clock.elapsed() - start);
    peakMiB = std::max(peakMiB, residentMiB());
  }
  bool turnUntil(const std::function<bool()>& done, int ms) {
    const qint64 end = clock.elapsed() + ms;
    while (!done() && clock.elapsed() < end) turn();
    return done();
  }

  void sendAll(RawClient& client, const QByteArray& bytes) {
    qint64 sent = 0;
    turnUntil(
        [&] {
          const qint64 n = client.send(bytes.mid(sent));
          sent += std::max<qint64>(n, 0);
          return n < 0 || sent == bytes.size();
        },
        3000);
  }
  // What a client that plays by the rules gets for /api/status: its status code.
  int politeGet(const QByteArray& token = {}) {
    RawClient client(port);
    sendAll(client, "GET /api/status" + (token.isEmpty() ? "" : "?token=" + token) +
                        " HTTP/1.1\r\nHost: " + host + "\r\nConnection: close\r\n\r\n");
    turnUntil([&] { return !client.read(); }, 3000);
    return statusOf(client.received);
  }
  // A WebSocket for the live updates, its handshake answered.
  std::unique_ptr<RawClient> liveClient(const QByteArray& origin = {},
                                        const QString& from = QStringLiteral("127.0.0.1")) {
    auto client = std::make_unique<RawClient>(port, from);
    sendAll(*client,
            "GET /api/live?token=" + kToken + " HTTP/1.1\r\nHost: " + host +
                "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n" +
                (origin.isEmpty() ? "" : "Origin: " + origin + "\r\n") + "\r\n");
    turnUntil([&] { return !client->read() || client->received.contains("\r\n\r\n"); }, 3000);
    return client;
  }
  // Every reading the instrument sent meanwhile is a sample and a line of the data file, and the
  // console's event loop never stood still long.
  void expectTheRunRecorded() {
    // The first reading of a run makes no sample: a sample is the change from the last one.
    EXPECT_EQ(console->measurement().sampleCount(), readings - 1);
    EXPECT_EQ(dataFile().count('\n'), 13 + console->measurement().sampleCount());
    EXPECT_LT(longestTurnMs, 500);
  }

  app::watch::PlotTap dataTap{dataPlot, run::Measurement::kDataCurve};
  app::watch::PlotTap stabilityTap{stabilityPlot, run::Measurement::kStabilityCurve};
  std::unique_ptr<app::watch::WatchService> service;
  std::unique_ptr<qt::WatchServer> server;
  quint16 port = 0;
  QByteArray host;
  double startMiB = 0, peakMiB = 0;
  QElapsedTimer clock = [] {
    QElapsedTimer started;
    started.start();
    return started;
  }();
  qint64 lastReading = -20, longestTurnMs = 0;
  int readings = 0;
};

TEST_F(HostileClientsTest, APingFloodOnTheLiveSocketIsDroppedNotBuffered) {
  serve();
  const std::unique_ptr<RawClient> flood = liveClient();
  ASSERT_EQ(statusOf(flood->received), 101) << flood->received.toStdString();
  // Masked pings of 125 bytes, never a frame read: each asks for a pong of as many bytes.
  QByteArray pings;
  for (int i = 0; i < 500; ++i)
    pings += QByteArray("\x89\xfd\x01\x02\x03\x04") + QByteArray(125, 'p');
  qint64 sent = 0;
  const qint64 limit = 48 << 20;
  turnUntil(
      [&] {
        const qint64 n = flood->send(pings.mid(sent % pings.size()));
        sent += std::max<qint64>(n, 0);
        return n < 0 || sent > limit;
      },
      5000);
  EXPECT_LT(sent, limit) << "the flood went on unhindered";
  if (kResidentMemorySaysAnything) {
    EXPECT_LT(peakMiB - startMiB, 16);
  }
  EXPECT_GE(server->drops().overBudget, 1);
  EXPECT_EQ(politeGet(), 200);
  expectTheRunRecorded();
}

TEST_F(HostileClientsTest, PipelinedRequestsForLargeAnswersWaitForTheClientToRead) {
  serve();
  QByteArray requests;
  for (int i = 0; i < 300; ++i)
    requests += "GET /dygraph.min.js HTTP/1.1\r\nHost: " + host + "\r\n\r\n";
  std::vector<std::unique_ptr<RawClient>> greedy;
  for (int i = 0; i < 2; ++i) {
    greedy.push_back(std::make_unique<RawClient>(port));
    sendAll(*greedy.back(), requests);
  }
  turnUntil([] { return false; }, 2000);
  if (kResidentMemorySaysAnything) {
    EXPECT_LT(peakMiB - startMiB, 16) << "300 answers of 129 KiB each, twice, were made at once";
  }
  EXPECT_EQ(politeGet(), 200);
  expectTheRunRecorded();
}

TEST_F(HostileClientsTest, SilentConnectionsCannotLockOutTheTokenHolder) {
  serve(kToken, QHostAddress::AnyIPv4);
  std::vector<std::unique_ptr<RawClient>> greedy;
  for (int i = 0; i < qt::GuardedTcpServer::kMaxPerAddress + 4; ++i)
    greedy.push_back(std::make_unique<RawClient>(port, QStringLiteral("127.0.0.9")));
  turnUntil([&] { return server->drops().refused == 4; }, 2000);
  EXPECT_EQ(server->drops().refused, 4) << "one address holds no more than its share";
  // Four addresses, each trying for more places than it may hold, reopened as they are dropped.
  std::vector<std::unique_ptr<RawClient>> silent;
  const auto reopen = [&] {
    for (std::size_t i = 0; i < 80; ++i) {
      if (silent.size() <= i) silent.emplace_back();
      if (!silent[i] || !silent[i]->read())
        silent[i] = std::make_unique<RawClient>(port, QStringLiteral("127.0.0.%1").arg(2 + i % 4));
    }
  };
  for (int i = 0; i < 12; ++i) {
    reopen();
    turnUntil([] { return false; }, 100);
    EXPECT_EQ(politeGet(kToken), 200) << "try " << i;
  }
  EXPECT_GT(server->drops().evicted, 0) << "silent connections held more than their share";
  expectTheRunRecorded();
}

TEST_F(HostileClientsTest, StalledDownloadsAndUnansweredLiveSocketsAreDroppedOnTime) {
  serve({}, QHostAddress::LocalHost, {1500, 1000});
  // A data file of a long run; its lines go on being appended meanwhile.
  QFile file(pathOf("osc1.DAT"));
  ASSERT_TRUE(file.open(QIODevice::Append));
  file.write(QByteArray(4'000'000, ' '));
  file.close();
  std::vector<std::unique_ptr<RawClient>> stalled;
  for (int i = 0; i < 12; ++i) {
    stalled.push_back(std::make_unique<RawClient>(port, QStringLiteral("127.0.0.2")));
    sendAll(*stalled.back(), "GET /data HTTP/1.1\r\nHost: " + host + "\r\n\r\n");
  }
  for (int i = 0; i < 4; ++i) stalled.push_back(liveClient({}, QStringLiteral("127.0.0.3")));
  turnUntil([&] { return server->drops().timedOut >= 16; }, 4000);
  EXPECT_EQ(server->drops().timedOut, 16);
  if (kResidentMemorySaysAnything) {
    EXPECT_LT(peakMiB - startMiB, 24);
  }
  EXPECT_EQ(politeGet(), 200);
  expectTheRunRecorded();
  for (const auto& client : stalled) EXPECT_FALSE(client->read()) << "closed";
}

TEST_F(HostileClientsTest, PipelinedRequestsInAnySplitAreAllAnsweredOnce) {
  QStringList warnings;
  static QStringList* seen = &warnings;
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& text) { *seen << text; });
  serve();
  const QByteArray two = "GET /api/status HTTP/1.1\r\nHost: " + host +
                         "\r\n\r\nHEAD /api/events HTTP/1.1\r\nHost: localhost\r\n\r\n";
  for (const qsizetype piece : {qsizetype(1), qsizetype(7), qsizetype(50), two.size()}) {
    RawClient client(port);
    for (qsizetype at = 0; at < two.size(); at += piece) {
      client.send(two.mid(at, piece));
      turnUntil([] { return false; }, 2);
    }
    turnUntil([&] { return !client.read() || client.received.count("HTTP/1.1 ") == 2; }, 2000);
    EXPECT_EQ(client.received.count("HTTP/1.1 200 OK\r\n"), 2) << "pieces of " << piece;
  }

  QByteArray many;
  for (int i = 0; i < 2000; ++i) many += "GET /api/status HTTP/1.1\r\nHost: " + host + "\r\n\r\n";
  RawClient client(port);
  const double cpuBefore = cpuSeconds();
  qsizetype sent = 0, looked = 0;
  int answers = 0;
  const QByteArray ok = "HTTP/1.1 200 OK\r\n";
  turnUntil(
      [&] {
        sent += std::max<qint64>(client.send(many.mid(sent)), 0);
        const bool open = client.read();
        for (qsizetype at; (at = client.received.indexOf(ok, looked)) >= 0; looked = at + 1)
          ++answers;
        looked = std::max(looked, client.received.size() - ok.size());
        return !open || answers == 2000;
      },
      10000);
  EXPECT_EQ(answers, 2000);
  EXPECT_LT(cpuSeconds() - cpuBefore, kPipelinedAnswersSeconds);
  qInstallMessageHandler(previous);
  EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
}

TEST_F(HostileClientsTest, OnLoopbackOnlyItsOwnNamesAndItsOwnPagesAreServed) {
  serve();
  const QByteArray key =
      "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
      "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13";
  const QByteArray ownOrigin = "http://" + host;
  struct Case {
    const char* what;
    QByteArray head;
    int status;
  };
  const std::vector<Case> cases = {
      {"its address", "GET /api/status HTTP/1.1\r\nHost: " + host, 200},
      {"localhost, through a tunnel's port", "GET /api/events HTTP/1.1\r\nHost: LocalHost:9000",
       200},
      {"a rebound name", "GET /data HTTP/1.1\r\nHost: attacker.example:" + QByteArray::number(port),
       421},
      {"another loopback address", "GET /api/status HTTP/1.1\r\nHost: 127.0.0.2", 421},
      {"two hosts", "GET /api/status HTTP/1.1\r\nHost: " + host + "\r\nHost: evil.example", 400},
      {"its own page's socket",
       "GET /api/live HTTP/1.1\r\nHost: " + host + key + "\r\nOrigin: " + ownOrigin, 101},
      {"another site's socket",
       "GET /api/live HTTP/1.1\r\nHost: " + host + key + "\r\nOrigin: http://evil.example", 403},
  };
  for (const Case& c : cases) {
    RawClient client(port);
    // An upgrade's own Connection header says Upgrade; the others ask to close.
    sendAll(client,
            c.head + (c.head.contains("Upgrade") ? "" : "\r\nConnection: close") + "\r\n\r\n");
    turnUntil([&] { return !client.read() || client.received.contains("\r\n\r\n"); }, 2000);
    EXPECT_EQ(statusOf(client.received), c.status) << c.what;
    EXPECT_FALSE(client.received.contains("Access-Control-Allow-Origin: http://evil")) << c.what;
  }

  // A HEAD gets the length a GET gets; the page's script may connect to its own origin only.
  const auto head = [&](const QByteArray& method) {
    RawClient client(port);
    sendAll(client, method + " /dygraph.min.js HTTP/1.1\r\nHost: " + host +
                        "\r\nConnection: close\r\n\r\n");
    turnUntil([&] { return !client.read(); }, 2000);
    return client.received.left(client.received.indexOf("\r\n\r\n") + 4);
  };
  EXPECT_EQ(head("HEAD"), head("GET"));
  EXPECT_TRUE(
      head("HEAD").contains("\r\nContent-Length: " + QByteArray::number(kChartLibrary.size())));
  EXPECT_TRUE(head("GET").contains("connect-src 'self' ws://" + host + " wss://" + host + ";"));
}

TEST_F(HostileClientsTest, OffLoopbackAnotherSitesLiveSocketIsRefusedEvenWithTheToken) {
  serve(kToken, QHostAddress::AnyIPv4);
  EXPECT_EQ(statusOf(liveClient("http://evil.example")->received), 403);
  EXPECT_EQ(statusOf(liveClient("http://" + host)->received), 101);
}

}  // namespace
}  // namespace tessarin::test
