#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketServer>
#include <vector>

#include "app/watch/WatchService.h"
#include "platform/Result.h"
#include "qt/watch/GuardedTcpServer.h"

namespace tessarin::qt {

// The served page and its API, in the console's own event loop: every answer is made from the
// console's state as it stands between two of its events, and nothing is ever changed. Pages
// that follow the run get a WebSocket message whenever something shown has changed, looked at
// once a second, and a ping with it; one that has not answered a ping for ClientTimes::idleMs,
// or leaves more than ConnectionGuard::kBudget unread, is dropped.
class WatchServer : public QObject {
 public:
  // `token` empty: no token is asked for (a server bound to a loopback address).
  WatchServer(app::watch::WatchService& service, QByteArray token, ClientTimes times = {});
  ~WatchServer() override;

  platform::Result<quint16> listenOn(const QHostAddress& address, quint16 port);
  const ClientDrops& drops() const { return drops_; }

 private:
  struct LiveClient {
    QWebSocket* socket;   // the server's Qt child
    QElapsedTimer heard;  // since its last pong
  };

  void takeLiveClients();
  void tellLiveClients();

  app::watch::WatchService& service_;
  const QByteArray token_;
  const ClientTimes times_;
  ClientDrops drops_;
  GuardedTcpServer* tcp_ = nullptr;  // owned by this server, as its Qt child
  QWebSocketServer liveSockets_{QString(), QWebSocketServer::NonSecureMode};
  QTimer liveTimer_;
  std::vector<LiveClient> live_;
};

}  // namespace tessarin::qt
