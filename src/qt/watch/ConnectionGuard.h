#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "app/watch/RequestHeadGuard.h"

class QTcpSocket;

namespace tessarin::qt {

class GuardedTcpServer;

// Stands between one client's connection and the HTTP server: sees every byte before the
// server's parser does, refuses what the request guard refuses, and drops a client that leaves
// a request unfinished, or the connection unused, for 10 s. Once the server has taken the
// connection for the live updates' WebSocket, the bytes no longer come here and the guard rests.
class ConnectionGuard : public QObject {
 public:
  static constexpr int kIdleMilliseconds = 10000;

  // Watches `socket`, of which it becomes a child; to be made before the server sees the socket,
  // so that its look at each arrival comes first. `server` counts the connection until the guard
  // goes with its socket.
  ConnectionGuard(QTcpSocket* socket, GuardedTcpServer* server,
                  app::watch::RequestHeadGuard::AccessCheck access);
  ~ConnectionGuard() override;

 private:
  void look();
  void refuse(int status);
  void idle();

  QTcpSocket* socket_;
  QPointer<GuardedTcpServer> server_;
  app::watch::RequestHeadGuard guard_;
  QMetaObject::Connection reading_;  // cut by the server when it hands the socket to a WebSocket
  QTimer idle_;
  qint64 written_ = 0;  // bytes sent to the client since the idle time began
};

}  // namespace tessarin::qt
