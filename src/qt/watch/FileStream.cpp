#include "qt/watch/FileStream.h"

#include <QTcpSocket>

namespace tessarin::qt {

FileStream::FileStream(QTcpSocket* socket, std::unique_ptr<QFile> file, qint64 length)
    : socket_(socket), file_(std::move(file)), left_(length) {}

bool FileStream::sendMore() {
  while (left_ > 0 && socket_->bytesToWrite() < 4 * kPiece) {
    const QByteArray piece = file_->read(std::min(left_, kPiece));
    if (piece.isEmpty()) return true;
    socket_->write(piece);
    left_ -= piece.size();
  }
  return left_ == 0;
}

}  // namespace tessarin::qt
