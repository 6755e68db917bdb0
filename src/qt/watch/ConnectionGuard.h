#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "app/watch/RequestHeadGuard.h"

class QTcpSocket;

namespace tessarin::app::watch {
class WatchService;
}

namespace tessarin::qt {

class FileStream;
class GuardedTcpServer;

// How long a client of the served page may take.
struct ClientTimes {
  int idleMs = 10000;      // without a request, without taking any of an answer, without a pong
  int firstHeadMs = 5000;  // from connecting to the end of a request head that passed
};

// One client's connection to the served page: reads its request heads through the request guard,
// each byte once, answers them one after the other, and hands the live updates' WebSocket on.
// Whatever the client does, the console holds little for it: an answer waits while the client
// has not taken the last ones, and a client that makes it hold more than kBudget bytes is
// dropped; so is one that sends no whole request in ClientTimes::firstHeadMs after connecting, or
// that lets ClientTimes::idleMs pass without a request or without taking any of its answer.
class ConnectionGuard : public QObject {
 public:
  static constexpr int kIdleMilliseconds = ClientTimes{}.idleMs;
  // The most the console holds for one client: bytes waiting to be sent and bytes received and
  // not yet read, together.
  static constexpr qint64 kBudget = 1024 * 1024;
  // What the socket reads ahead from the system for the console; the rest waits there.
  static constexpr qint64 kReadAhead = 64 * 1024;
  // Answers wait while this much of the earlier ones is still unsent.
  static constexpr qint64 kPauseAt = 256 * 1024;

  enum class Drop { Evicted, OverBudget, TimedOut };

  // Watches `socket`, of which it becomes a child; to be made before anything else connects to
  // the socket's signals, so that its look at each arrival comes first.
  ConnectionGuard(QTcpSocket* socket, GuardedTcpServer* server, app::watch::RequestHeadGuard guard,
                  const app::watch::WatchService& service, ClientTimes times);
  ~ConnectionGuard() override;

  // Closes the connection at once, and counts why.
  void drop(Drop why);

 private:
  enum class State { Reading, Sending, Closing, Live };

  void pump();
  void took(qint64 bytes);
  void answer(const app::watch::RequestHead& head);
  void refuse(int status);
  void close();
  bool overBudget() const;

  QTcpSocket* socket_;
  QPointer<GuardedTcpServer> server_;
  app::watch::RequestHeadGuard guard_;
  const app::watch::WatchService& service_;
  const ClientTimes times_;
  State state_ = State::Reading;
  bool shown_ = false;  // a head has passed
  std::unique_ptr<FileStream> stream_;
  QTimer deadline_;
};

}  // namespace tessarin::qt
