#include "qt/watch/ConnectionGuard.h"

#include <QTcpSocket>

#include "qt/watch/WatchServer.h"

namespace tessarin::qt {

ConnectionGuard::ConnectionGuard(QTcpSocket* socket, GuardedTcpServer* server,
                                 app::watch::RequestHeadGuard::AccessCheck access)
    : QObject(socket), socket_(socket), server_(server), guard_(std::move(access)) {
  reading_ = connect(socket, &QTcpSocket::readyRead, this, &ConnectionGuard::look);
  connect(socket, &QTcpSocket::bytesWritten, this, [this](qint64 bytes) { written_ += bytes; });
  idle_.setSingleShot(true);
  idle_.setInterval(kIdleMilliseconds);
  connect(&idle_, &QTimer::timeout, this, &ConnectionGuard::idle);
  idle_.start();
}

ConnectionGuard::~ConnectionGuard() {
  if (server_) server_->connectionClosed();
}

void ConnectionGuard::look() {
  const int headsBefore = guard_.completedHeads();
  const QByteArray arrived = socket_->peek(socket_->bytesAvailable());
  if (const int refusal =
          guard_.scan(std::string_view(arrived.constData(), std::size_t(arrived.size()))))
    return refuse(refusal);
  if (guard_.completedHeads() == headsBefore) return;
  written_ = 0;
  idle_.start();
}

void ConnectionGuard::refuse(int status) {
  // Nobody else reads this connection any more: the server's parser never sees the request.
  QObject::disconnect(socket_, &QTcpSocket::readyRead, nullptr, nullptr);
  socket_->readAll();
  socket_->write(app::watch::refusalResponse(status));
  socket_->disconnectFromHost();
  idle_.start();
}

// A client still taking an answer keeps its connection as long as the answer moves; a live
// updates' WebSocket is no longer the guard's to drop.
void ConnectionGuard::idle() {
  if (!reading_) return;
  if (socket_->bytesToWrite() > 0 && written_ > 0) {
    written_ = 0;
    idle_.start();
    return;
  }
  socket_->abort();
}

}  // namespace tessarin::qt
