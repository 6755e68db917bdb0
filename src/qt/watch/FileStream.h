#pragma once

#include <QFile>
#include <memory>

class QTcpSocket;

namespace tessarin::qt {

// Sends a file's first `length` bytes to a client in pieces, as fast as the client takes them,
// so that a large data file never sits whole in memory.
class FileStream {
 public:
  static constexpr qint64 kPiece = 64 * 1024;

  // Takes `file`, open for reading.
  FileStream(QTcpSocket* socket, std::unique_ptr<QFile> file, qint64 length);

  // Tops the socket up to a few pieces waiting to be sent; true once the whole length has gone,
  // or the file was cut short meanwhile (the client then sees it end early).
  bool sendMore();

 private:
  QTcpSocket* socket_;
  std::unique_ptr<QFile> file_;
  qint64 left_;
};

}  // namespace tessarin::qt
