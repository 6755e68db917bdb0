#pragma once

#include <QByteArray>
#include <QString>

namespace tessarin::test {

// A client of the served page on a plain non-blocking socket, so that the test decides exactly
// what is sent, and whether anything is read: a hostile client that reads nothing leaves the
// answers in the system's buffers, never in this process.
class RawClient {
 public:
  // Connects from `from` (any address of 127.0.0.0/8) to 127.0.0.1:`port`.
  RawClient(quint16 port, const QString& from = QStringLiteral("127.0.0.1"));
  ~RawClient();
  RawClient(const RawClient&) = delete;
  RawClient& operator=(const RawClient&) = delete;

  // Sends what the system takes now; the number of bytes taken, or -1 once the connection is
  // broken.
  qint64 send(const QByteArray& bytes);
  // Reads what has arrived; false once the server has closed or reset the connection.
  bool read();
  QByteArray received;

 private:
  int fd_ = -1;
  bool open_ = true;
};

// The console's resident memory, from /proc/self/status, in MiB.
double residentMiB();

}  // namespace tessarin::test
