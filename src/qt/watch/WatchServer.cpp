#include "qt/watch/WatchServer.h"

#include "app/watch/AccessToken.h"
#include "qt/watch/ConnectionGuard.h"

namespace tessarin::qt {

WatchServer::WatchServer(app::watch::WatchService& service, QByteArray token, ClientTimes times)
    : service_(service), token_(std::move(token)), times_(times) {
  connect(&liveSockets_, &QWebSocketServer::newConnection, this, &WatchServer::takeLiveClients);
  liveTimer_.setInterval(1000);
  connect(&liveTimer_, &QTimer::timeout, this, &WatchServer::tellLiveClients);
}

WatchServer::~WatchServer() = default;

platform::Result<quint16> WatchServer::listenOn(const QHostAddress& address, quint16 port) {
  app::watch::RequestHeadGuard::AccessCheck access;
  if (!token_.isEmpty())
    access = [this](const QByteArray& target, const QByteArray& authorization) {
      return app::watch::carriesToken(target, authorization, token_);
    };
  // On a loopback address a browser reaches the page by that address or as localhost, and by no
  // other name; elsewhere the token decides.
  QList<QByteArray> hostNames;
  if (address.isLoopback()) {
    const QByteArray literal = address.toString().toLatin1().toLower();
    hostNames = {"localhost", address.protocol() == QAbstractSocket::IPv6Protocol
                                  ? '[' + literal + ']'
                                  : literal};
  }
  tcp_ = new GuardedTcpServer(
      service_, std::move(access), std::move(hostNames),
      [this](QTcpSocket* socket) { liveSockets_.handleConnection(socket); }, times_, drops_, this);
  if (!tcp_->listen(address, port))
    return platform::Result<quint16>::failure(
        QStringLiteral("The page cannot be served at %1 port %2: %3")
            .arg(address.toString())
            .arg(port)
            .arg(tcp_->errorString()));
  liveTimer_.start();
  return tcp_->serverPort();
}

void WatchServer::takeLiveClients() {
  while (liveSockets_.hasPendingConnections()) {
    QWebSocket* client = liveSockets_.nextPendingConnection();
    client->setParent(this);
    // The page never has anything to say: a client that talks gets little room for it.
    client->setMaxAllowedIncomingFrameSize(1024);
    client->setMaxAllowedIncomingMessageSize(1024);
    connect(client, &QWebSocket::disconnected, this, [this, client] {
      std::erase_if(live_, [client](const LiveClient& c) { return c.socket == client; });
      client->deleteLater();
    });
    connect(client, &QWebSocket::pong, this, [this, client] {
      for (LiveClient& c : live_)
        if (c.socket == client) c.heard.restart();
    });
    client->sendTextMessage(QStringLiteral("{\"revision\":%1}").arg(service_.revision()));
    live_.push_back({client, {}});
    live_.back().heard.start();
  }
}

void WatchServer::tellLiveClients() {
  const bool changed = service_.refresh();
  const QString message = QStringLiteral("{\"revision\":%1}").arg(service_.revision());
  std::vector<QWebSocket*> gone;
  for (LiveClient& c : live_) {
    const bool overBudget = c.socket->bytesToWrite() > ConnectionGuard::kBudget;
    if (overBudget || c.heard.elapsed() > times_.idleMs) {
      ++(overBudget ? drops_.overBudget : drops_.timedOut);
      gone.push_back(c.socket);
      continue;
    }
    c.socket->ping();
    if (changed) c.socket->sendTextMessage(message);
  }
  // Dropping a client takes it off the list at once.
  for (QWebSocket* client : gone) client->abort();
}

}  // namespace tessarin::qt
