#pragma once

#include <QObject>
#include <QTimer>

#include "app/watch/RequestHeadGuard.h"

class QTcpSocket;

namespace tessarin::qt {

// Stands between one client's connection and the HTTP server: sees every byte before the
// server's parser does, refuses what the request guard refuses, and drops a client that leaves
// a request unfinished, or the connection unused, for 10 s.
class ConnectionGuard : public QObject {
 public:
  static constexpr int kIdleMilliseconds = 10000;

  // Watches `socket`, of which it becomes a child; to be made before the server sees the socket,
  // so that its look at each arrival comes first.
  ConnectionGuard(QTcpSocket* socket, app::watch::RequestHeadGuard::AccessCheck access);

 private:
  void look();
  void refuse(int status);
  void idle();

  QTcpSocket* socket_;
  app::watch::RequestHeadGuard guard_;
  QTimer idle_;
  qint64 written_ = 0;  // bytes sent to the client since the idle time began
};

}  // namespace tessarin::qt
