#pragma once

#include <QFile>
#include <QObject>

class QTcpSocket;

namespace tessarin::qt {

// Sends a file's first `length` bytes to a client in pieces, as fast as the client takes them,
// so that a large data file never sits whole in memory, then closes the connection. Nothing else
// is read from the connection meanwhile.
class FileStream : public QObject {
 public:
  static constexpr qint64 kPiece = 64 * 1024;

  // Takes `file`, open for reading; becomes a child of `socket`.
  FileStream(QTcpSocket* socket, std::unique_ptr<QFile> file, qint64 length);

 private:
  void sendMore();

  QTcpSocket* socket_;
  std::unique_ptr<QFile> file_;
  qint64 left_;
};

}  // namespace tessarin::qt
