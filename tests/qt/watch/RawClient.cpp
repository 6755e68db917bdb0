#include "qt/watch/RawClient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace tessarin::test {

RawClient::RawClient(quint16 port, const QString& from) {
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  ::inet_pton(AF_INET, from.toLatin1().constData(), &local.sin_addr);
  sockaddr_in server{};
  server.sin_family = AF_INET;
  server.sin_port = htons(port);
  server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  // Not waited for: the system completes a connection on loopback by itself, before the server
  // accepts it, unless the server's queue of connections not yet accepted is full.
  if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
      ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK) != 0 ||
      (::connect(fd_, reinterpret_cast<sockaddr*>(&server), sizeof server) != 0 &&
       errno != EINPROGRESS)) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
}

RawClient::~RawClient() {
  if (fd_ >= 0) ::close(fd_);
}

qint64 RawClient::send(const QByteArray& bytes) {
  if (fd_ < 0 || !open_) return -1;
  const ssize_t sent = ::send(fd_, bytes.constData(), std::size_t(bytes.size()), MSG_NOSIGNAL);
  if (sent >= 0) return sent;
  if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOTCONN) return 0;
  open_ = false;
  return -1;
}

bool RawClient::read() {
  char buffer[65536];
  while (fd_ >= 0 && open_) {
    const ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
    if (got > 0) {
      received.append(buffer, got);
    } else if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOTCONN)) {
      return true;
    } else {
      open_ = false;
    }
  }
  return false;
}

double residentMiB() {
  QFile status("/proc/self/status");
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:"))
      return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
  return 0;
}

}  // namespace tessarin::test
