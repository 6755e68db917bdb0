#include "qt/watch/FileStream.h"

#include <QTcpSocket>

namespace tessarin::qt {

FileStream::FileStream(QTcpSocket* socket, std::unique_ptr<QFile> file, qint64 length)
    : QObject(socket), socket_(socket), file_(std::move(file)), left_(length) {
  QObject::disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
  connect(socket, &QTcpSocket::bytesWritten, this, &FileStream::sendMore);
  sendMore();
}

void FileStream::sendMore() {
  while (left_ > 0 && socket_->bytesToWrite() < 4 * kPiece) {
    const QByteArray piece = file_->read(std::min(left_, kPiece));
    if (piece.isEmpty()) break;  // the file was cut short meanwhile: the client sees it end early
    socket_->write(piece);
    left_ -= piece.size();
  }
  if (left_ == 0 || file_->atEnd()) {
    left_ = 0;
    socket_->disconnectFromHost();
  }
}

}  // namespace tessarin::qt
