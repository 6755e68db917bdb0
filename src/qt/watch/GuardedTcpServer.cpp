#include "qt/watch/GuardedTcpServer.h"

#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

#include "qt/watch/ConnectionGuard.h"

namespace tessarin::qt {

namespace {

// Who a connection comes from, for sharing the places fairly: an IPv4 address, or the /64
// network of an IPv6 one, since one IPv6 host commonly holds a whole /64.
QHostAddress clientOf(const QHostAddress& peer) {
  bool isIpv4 = false;
  const quint32 ipv4 = peer.toIPv4Address(&isIpv4);
  if (isIpv4) return QHostAddress(ipv4);
  Q_IPV6ADDR bytes = peer.toIPv6Address();
  std::fill(bytes.c + 8, bytes.c + 16, quint8(0));
  return QHostAddress(bytes);
}

}  // namespace

GuardedTcpServer::GuardedTcpServer(const app::watch::WatchService& service,
                                   app::watch::RequestHeadGuard::AccessCheck access,
                                   QList<QByteArray> hostNames,
                                   std::function<void(QTcpSocket*)> goLive, ClientTimes times,
                                   ClientDrops& drops, QObject* parent)
    : QTcpServer(parent),
      service_(service),
      access_(std::move(access)),
      hostNames_(std::move(hostNames)),
      goLive_(std::move(goLive)),
      times_(times),
      drops_(drops) {}

void GuardedTcpServer::incomingConnection(qintptr descriptor) {
  auto* socket = new QTcpSocket(this);
  if (!socket->setSocketDescriptor(descriptor)) {
    delete socket;
    return;
  }
  connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  const QHostAddress client = clientOf(socket->peerAddress());
  if (!makeRoomFor(client)) {
    ++drops_.refused;
    socket->write(app::watch::refusalResponse(503));
    socket->disconnectFromHost();
    QTimer::singleShot(times_.idleMs, socket, &QTcpSocket::abort);
    return;
  }
  auto* guard = new ConnectionGuard(socket, this, app::watch::RequestHeadGuard(access_, hostNames_),
                                    service_, times_);
  open_.push_back({guard, client, true});
}

bool GuardedTcpServer::makeRoomFor(const QHostAddress& client) {
  const auto from = [this](const QHostAddress& address, bool waitingOnly) {
    return std::count_if(open_.begin(), open_.end(), [&](const Open& o) {
      return o.client == address && (o.waiting || !waitingOnly);
    });
  };
  if (from(client, false) >= kMaxPerAddress) return false;
  const auto waiting =
      std::count_if(open_.begin(), open_.end(), [](const Open& o) { return o.waiting; });
  if (open_.size() < std::size_t(kMaxConnections) && waiting < kMaxWaiting) return true;
  // The first found is the oldest of those from its address.
  ConnectionGuard* victim = nullptr;
  qsizetype most = 0;
  for (const Open& o : open_) {
    if (!o.waiting) continue;
    const qsizetype held = from(o.client, true);
    if (held > most) {
      most = held;
      victim = o.guard;
    }
  }
  if (!victim) return false;
  victim->drop(ConnectionGuard::Drop::Evicted);
  return true;
}

void GuardedTcpServer::admitted(const ConnectionGuard* guard) {
  for (Open& o : open_)
    if (o.guard == guard) o.waiting = false;
}

void GuardedTcpServer::gone(const ConnectionGuard* guard) {
  std::erase_if(open_, [guard](const Open& o) { return o.guard == guard; });
}

}  // namespace tessarin::qt
