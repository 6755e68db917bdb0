#pragma once

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTimer>
#include <QWebSocket>
#include <memory>
#include <vector>

#include "app/watch/RequestHeadGuard.h"
#include "app/watch/WatchService.h"
#include "platform/Result.h"

namespace tessarin::qt {

// The listening socket of the served page: counts the open connections, refuses those beyond
// the limit, and puts a guard on each before the HTTP server sees it.
class GuardedTcpServer : public QTcpServer {
 public:
  static constexpr int kMaxConnections = 64;
  explicit GuardedTcpServer(app::watch::RequestHeadGuard::AccessCheck access)
      : access_(std::move(access)) {}
  // A guarded connection has gone.
  void connectionClosed() { --open_; }

 protected:
  void incomingConnection(qintptr descriptor) override;

 private:
  app::watch::RequestHeadGuard::AccessCheck access_;
  int open_ = 0;
};

// The served page and its API on Qt's HTTP server, in the console's own event loop: every
// answer is made from the console's state as it stands between two of its events, and nothing
// is ever changed. Pages that follow the run get a WebSocket message whenever something shown
// has changed, looked at once a second.
class WatchServer : public QAbstractHttpServer {
 public:
  // `token` empty: no token is asked for (a server bound to a loopback address).
  WatchServer(app::watch::WatchService& service, QByteArray token);
  ~WatchServer() override;

  platform::Result<quint16> listenOn(const QHostAddress& address, quint16 port);

 protected:
  bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
  void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

 private:
  void takeLiveClient();
  void tellLiveClients();

  app::watch::WatchService& service_;
  const QByteArray token_;
  GuardedTcpServer* tcp_;  // owned by this server, as its Qt child
  QTimer liveTimer_;
  std::vector<QWebSocket*> live_;  // the server's Qt children
};

}  // namespace tessarin::qt
