#pragma once

#include <QHostAddress>
#include <QList>
#include <QTcpServer>
#include <functional>
#include <vector>

#include "app/watch/RequestHeadGuard.h"
#include "qt/watch/ConnectionGuard.h"

namespace tessarin::app::watch {
class WatchService;
}

namespace tessarin::qt {

// What the served page did to clients that went beyond its limits, for the operator's monitoring.
struct ClientDrops {
  int refused = 0;     // beyond the connection limits: 503
  int evicted = 0;     // silent, dropped to make room for a newcomer
  int overBudget = 0;  // made the console hold more than ConnectionGuard::kBudget for them
  int timedOut = 0;    // no request, or no progress, in time
};

// The listening socket of the served page: admits connections within its limits and puts a guard
// on each. No client can lock the others out: connections that have not yet sent a request that
// passed (and so shown the token, where one is asked for) hold at most kMaxWaiting places, and
// when the places run out the oldest of them, from the address that holds the most, makes room
// for a newcomer; one address never holds more than kMaxPerAddress.
class GuardedTcpServer : public QTcpServer {
 public:
  static constexpr int kMaxConnections = 64;
  static constexpr int kMaxWaiting = 32;
  static constexpr int kMaxPerAddress = 16;

  // `goLive` takes a connection for the live updates' WebSocket, its request head unread again.
  GuardedTcpServer(const app::watch::WatchService& service,
                   app::watch::RequestHeadGuard::AccessCheck access, QList<QByteArray> hostNames,
                   std::function<void(QTcpSocket*)> goLive, ClientTimes times, ClientDrops& drops,
                   QObject* parent);

  // From a connection's guard: a request passed; the connection is taken for a WebSocket; what
  // the drops are counted in; the connection has gone.
  void admitted(const ConnectionGuard* guard);
  void goLive(QTcpSocket* socket) { goLive_(socket); }
  ClientDrops& drops() { return drops_; }
  void gone(const ConnectionGuard* guard);

 protected:
  void incomingConnection(qintptr descriptor) override;

 private:
  struct Open {
    ConnectionGuard* guard;
    QHostAddress client;
    bool waiting;  // no request of it has passed yet
  };

  bool makeRoomFor(const QHostAddress& client);

  const app::watch::WatchService& service_;
  app::watch::RequestHeadGuard::AccessCheck access_;
  QList<QByteArray> hostNames_;
  std::function<void(QTcpSocket*)> goLive_;
  ClientTimes times_;
  ClientDrops& drops_;
  std::vector<Open> open_;  // in the order they came
};

}  // namespace tessarin::qt
