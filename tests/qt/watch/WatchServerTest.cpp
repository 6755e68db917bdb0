#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <QWebSocket>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "qt/watch/ConnectionGuard.h"
#include "qt/watch/WatchServer.h"
#include "support/ConsoleFixture.h"

namespace tessarin::qt {
namespace {

using namespace std::chrono_literals;

bool runEventsUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(1ms);
  }
  return done();
}

// A console on fakes with its page served on a free loopback port, talked to over real sockets
// in this thread's event loop, as a browser elsewhere would.
class WatchServerTest : public test::ConsoleFixture {
 protected:
  void serve(QByteArray token = {}, const QHostAddress& at = QHostAddress::LocalHost) {
    drawnDataPlot = &dataTap;
    drawnStabilityPlot = &stabilityTap;
    startConsole();
    service = std::make_unique<app::watch::WatchService>(
        *console, dataTap, stabilityTap, QHash<QString, app::watch::PageAsset>{}, token);
    server = std::make_unique<WatchServer>(*service, token);
    const platform::Result<quint16> listening = server->listenOn(at, 0);
    ASSERT_TRUE(listening) << listening.reason().toStdString();
    port = listening.value();
  }
  std::unique_ptr<QTcpSocket> connection() {
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, port);
    EXPECT_TRUE(
        runEventsUntil([&] { return socket->state() == QTcpSocket::ConnectedState; }, 2000));
    return socket;
  }
  // Sends `request` in pieces of `piece` bytes, a few milliseconds apart, and returns what comes
  // back until the server closes the connection or `ms` have passed.
  QByteArray exchange(const QByteArray& request, qsizetype piece = 0, int ms = 3000) {
    const std::unique_ptr<QTcpSocket> socket = connection();
    QByteArray answer;
    QObject::connect(socket.get(), &QTcpSocket::readyRead,
                     [&answer, s = socket.get()] { answer += s->readAll(); });
    for (qsizetype at = 0; at < request.size(); at += piece ? piece : request.size()) {
      socket->write(request.mid(at, piece ? piece : -1));
      runEventsUntil([] { return false; }, piece ? 5 : 0);
    }
    runEventsUntil([&] { return socket->state() == QTcpSocket::UnconnectedState; }, ms);
    return answer;
  }

  app::watch::PlotTap dataTap{dataPlot, run::Measurement::kDataCurve};
  app::watch::PlotTap stabilityTap{stabilityPlot, run::Measurement::kStabilityCurve};
  std::unique_ptr<app::watch::WatchService> service;
  std::unique_ptr<WatchServer> server;
  quint16 port = 0;
};

TEST_F(WatchServerTest, AnswersThePageRequestsAndRefusesOthersAtOnceHoweverTheyArrive) {
  serve();
  struct Case {
    const char* what;
    QByteArray request;
    qsizetype piece;
    QByteArray answerStart;
  };
  const QByteArray status =
      "GET /api/status HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";
  const std::vector<Case> cases = {
      {"whole", status, 0, "HTTP/1.1 200 OK\r\n"},
      {"a byte at a time", status, 1, "HTTP/1.1 200 OK\r\n"},
      {"a POST", "POST /api/status HTTP/1.1\r\nContent-Length: 2\r\n\r\nhi", 0,
       "HTTP/1.1 405 Method Not Allowed\r\n"},
      {"the metrics", "GET /metrics HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n", 0,
       "HTTP/1.1 200 OK\r\nContent-Type: text/plain; version=0.0.4; charset=utf-8\r\n"},
      {"a PUT of metrics", "PUT /metrics HTTP/1.1\r\n\r\n", 0,
       "HTTP/1.1 405 Method Not Allowed\r\n"},
      {"metrics from another site", "GET /metrics HTTP/1.1\r\nHost: evil.example\r\n\r\n", 0,
       "HTTP/1.1 421 Misdirected Request\r\n"},
      {"an encoded climb", "GET /%2e%2e/etc/passwd HTTP/1.1\r\n\r\n", 0,
       "HTTP/1.1 404 Not Found\r\n"},
      {"an unknown path", "GET /etc/passwd HTTP/1.1\r\nConnection: close\r\n\r\n", 0,
       "HTTP/1.1 404 Not Found\r\n"},
      {"a long request line in pieces", "GET /" + QByteArray(9000, 'a'), 1000,
       "HTTP/1.1 414 URI Too Long\r\n"},
      {"long headers in pieces", "GET / HTTP/1.1\r\n" + QByteArray(9000, 'a'), 500,
       "HTTP/1.1 431 Request Header Fields Too Large\r\n"},
  };
  for (const Case& c : cases) {
    const QByteArray answer = exchange(c.request, c.piece);
    EXPECT_TRUE(answer.startsWith(c.answerStart))
        << c.what << ": " << answer.left(200).toStdString();
  }
  const QByteArray answer = exchange(status);
  for (const char* header : {"\r\nContent-Type: application/json; charset=utf-8\r\n",
                             "\r\nX-Content-Type-Options: nosniff\r\n",
                             "\r\nContent-Security-Policy: default-src 'self'"})
    EXPECT_TRUE(answer.contains(header)) << header;
  EXPECT_TRUE(answer.contains("\"state\":\"Idle\""));
}

TEST_F(WatchServerTest, TheDataFileComesWholeAndAHeadOnlyRequestGetsItsLengthAlone) {
  serve();
  QByteArray bytes;
  for (int i = 0; bytes.size() < 3'000'000; ++i) bytes += QByteArray::number(i * 1e-9) + " \r\n";
  const QString path = pathOf("big.DAT");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  file.close();
  dialogs.saveAnswers.push_back(path);
  console->menus().saveFileAs.click();

  const QByteArray answer = exchange("GET /data HTTP/1.1\r\n\r\n");
  const qsizetype body = answer.indexOf("\r\n\r\n") + 4;
  EXPECT_TRUE(answer.contains("\r\nContent-Length: " + QByteArray::number(bytes.size())));
  EXPECT_EQ(answer.mid(body), bytes);
  const QByteArray head = exchange("HEAD /data HTTP/1.1\r\nConnection: close\r\n\r\n");
  EXPECT_TRUE(head.contains("\r\nContent-Length: " + QByteArray::number(bytes.size())));
  EXPECT_TRUE(head.endsWith("\r\n\r\n")) << "no body";
}

TEST_F(WatchServerTest, ConnectionsBeyondTheLimitAreRefusedAndIdleOnesDropped) {
  serve();
  std::vector<std::unique_ptr<QTcpSocket>> open;
  for (int i = 0; i < GuardedTcpServer::kMaxConnections; ++i) open.push_back(connection());
  const QByteArray refused = exchange("GET /api/status HTTP/1.1\r\n\r\n");
  EXPECT_TRUE(refused.startsWith("HTTP/1.1 503 Service Unavailable\r\n")) << refused.toStdString();

  // None of them sent a whole request within the idle time: all dropped, room for new clients.
  EXPECT_TRUE(runEventsUntil(
      [&] {
        return std::all_of(open.begin(), open.end(), [](const auto& s) {
          return s->state() == QTcpSocket::UnconnectedState;
        });
      },
      ConnectionGuard::kIdleMilliseconds + 3000));
  EXPECT_TRUE(exchange("GET /api/status HTTP/1.1\r\nConnection: close\r\n\r\n")
                  .startsWith("HTTP/1.1 200 OK\r\n"));
}

TEST_F(WatchServerTest, OffLoopbackEveryRequestAndTheLiveSocketNeedTheToken) {
  const QByteArray token(64, 'c');
  serve(token, QHostAddress::AnyIPv4);
  EXPECT_EQ(exchange("GET /api/status HTTP/1.1\r\n\r\n"), app::watch::refusalResponse(401));
  EXPECT_EQ(exchange("GET /metrics HTTP/1.1\r\nAuthorization: Bearer " + QByteArray(64, 'd') +
                     "\r\n\r\n"),
            app::watch::refusalResponse(401));
  EXPECT_TRUE(exchange("GET /metrics HTTP/1.1\r\nAuthorization: Bearer " + token +
                       "\r\nConnection: close\r\n\r\n")
                  .contains("\r\n\r\n# HELP tessarin_up "));
  EXPECT_TRUE(exchange("GET /api/status?token=" + token + " HTTP/1.1\r\nConnection: close\r\n\r\n")
                  .startsWith("HTTP/1.1 200 OK\r\n"));

  QWebSocket refused, live;
  bool refusedClosed = false;
  QObject::connect(&refused, &QWebSocket::disconnected, [&] { refusedClosed = true; });
  refused.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/live").arg(port)));
  QStringList messages;
  QObject::connect(&live, &QWebSocket::textMessageReceived,
                   [&](const QString& m) { messages << m; });
  live.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/api/live?token=%2").arg(port).arg(token)));
  EXPECT_TRUE(runEventsUntil([&] { return refusedClosed && !messages.isEmpty(); }, 3000));
  EXPECT_NE(refused.state(), QAbstractSocket::ConnectedState);

  console->setStatus("Running...");
  EXPECT_TRUE(runEventsUntil([&] { return messages.size() >= 2; }, 3000))
      << "a change is told within a second or so";
  EXPECT_NE(messages.first(), messages.last());
}

}  // namespace
}  // namespace tessarin::qt
