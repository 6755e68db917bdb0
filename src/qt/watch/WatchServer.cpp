#include "qt/watch/WatchServer.h"

#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpSocket>

#include "app/watch/AccessToken.h"
#include "qt/watch/ConnectionGuard.h"
#include "qt/watch/FileStream.h"

namespace tessarin::qt {

namespace {

using Status = QHttpServerResponder::StatusCode;

// The page loads nothing from elsewhere and runs no inline script; the token in its address
// never leaves in a Referer.
const QByteArray kPolicy =
    "default-src 'self'; connect-src 'self' ws: wss:; img-src 'self' data:; style-src 'self'; "
    "frame-ancestors 'none'";

void writeHead(QHttpServerResponder& responder, const app::watch::WatchResponse& response,
               qint64 length) {
  responder.writeStatusLine(Status(response.status));
  responder.writeHeader("Content-Type", response.contentType);
  responder.writeHeader("Content-Length", QByteArray::number(length));
  responder.writeHeader("Cache-Control", "no-store");
  responder.writeHeader("X-Content-Type-Options", "nosniff");
  responder.writeHeader("Referrer-Policy", "no-referrer");
  responder.writeHeader("Content-Security-Policy", kPolicy);
}

}  // namespace

void GuardedTcpServer::incomingConnection(qintptr descriptor) {
  auto* socket = new QTcpSocket(this);
  if (!socket->setSocketDescriptor(descriptor)) {
    delete socket;
    return;
  }
  if (open_ >= kMaxConnections) {
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->write(app::watch::refusalResponse(503));
    socket->disconnectFromHost();
    QTimer::singleShot(ConnectionGuard::kIdleMilliseconds, socket, &QTcpSocket::abort);
    return;
  }
  ++open_;
  new ConnectionGuard(socket, this, access_);
  addPendingConnection(socket);
}

WatchServer::WatchServer(app::watch::WatchService& service, QByteArray token)
    : service_(service), token_(std::move(token)) {
  app::watch::RequestHeadGuard::AccessCheck access;
  if (!token_.isEmpty())
    access = [this](const QByteArray& target, const QByteArray& authorization) {
      return app::watch::carriesToken(target, authorization, token_);
    };
  tcp_ = new GuardedTcpServer(std::move(access));
  tcp_->setParent(this);
  connect(this, &QAbstractHttpServer::newWebSocketConnection, this, &WatchServer::takeLiveClient);
  liveTimer_.setInterval(1000);
  connect(&liveTimer_, &QTimer::timeout, this, &WatchServer::tellLiveClients);
}

WatchServer::~WatchServer() = default;

platform::Result<quint16> WatchServer::listenOn(const QHostAddress& address, quint16 port) {
  if (!tcp_->listen(address, port))
    return platform::Result<quint16>::failure(
        QStringLiteral("The page cannot be served at %1 port %2: %3")
            .arg(address.toString())
            .arg(port)
            .arg(tcp_->errorString()));
  bind(tcp_);
  liveTimer_.start();
  return tcp_->serverPort();
}

bool WatchServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
  // Qt's server offers every request here first, and makes the live updates' WebSocket of one
  // that was taken without an answer.
  if (request.url().path() == app::watch::RequestHeadGuard::kLivePath &&
      request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0)
    return true;
  const bool head = request.method() == QHttpServerRequest::Method::Head;
  const app::watch::WatchResponse response =
      service_.answer({head, request.url().path(), request.query()});
  QHttpServerResponder responder = makeResponder(request, socket);
  if (response.filePath.isEmpty()) {
    writeHead(responder, response, response.body.size());
    responder.writeBody(response.body);
    // Qt's server keeps every connection open; a client that asked to close gets its way.
    if (request.value("connection").compare("close", Qt::CaseInsensitive) == 0)
      socket->disconnectFromHost();
    return true;
  }
  // The data file is read as it stands now; the run goes on appending to it meanwhile.
  auto file = std::make_unique<QFile>(response.filePath);
  if (!file->open(QIODevice::ReadOnly)) {
    const QByteArray why = "The data file cannot be read: " + file->errorString().toUtf8() + '\n';
    writeHead(responder, {500, "text/plain; charset=utf-8", why, {}}, why.size());
    responder.writeBody(why);
    return true;
  }
  const qint64 length = file->size();
  writeHead(responder, response, length);
  if (!head) responder.writeHeader("Connection", "close");
  responder.writeBody(QByteArray());
  if (!head) new FileStream(socket, std::move(file), length);
  return true;
}

void WatchServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
  makeResponder(request, socket).write(Status::NotFound);
}

void WatchServer::takeLiveClient() {
  while (hasPendingWebSocketConnections()) {
    QWebSocket* client = nextPendingWebSocketConnection().release();
    client->setParent(this);
    // The page never has anything to say: a client that talks gets little room for it.
    client->setMaxAllowedIncomingFrameSize(1024);
    client->setMaxAllowedIncomingMessageSize(1024);
    connect(client, &QWebSocket::disconnected, this, [this, client] {
      std::erase(live_, client);
      client->deleteLater();
    });
    client->sendTextMessage(QStringLiteral("{\"revision\":%1}").arg(service_.revision()));
    live_.push_back(client);
  }
}

void WatchServer::tellLiveClients() {
  if (!service_.refresh()) return;
  const QString message = QStringLiteral("{\"revision\":%1}").arg(service_.revision());
  for (QWebSocket* client : live_) client->sendTextMessage(message);
}

}  // namespace tessarin::qt
