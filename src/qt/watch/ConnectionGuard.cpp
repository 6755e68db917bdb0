#include "qt/watch/ConnectionGuard.h"

#include <QFile>
#include <QTcpSocket>
#include <QUrlQuery>

#include "app/watch/WatchService.h"
#include "qt/watch/FileStream.h"
#include "qt/watch/GuardedTcpServer.h"

namespace tessarin::qt {

namespace {

// How much is looked at in one go: enough for most heads, little to look at again when a head
// ends early in it.
constexpr qint64 kLook = 4096;

bool asksForLiveUpdates(const app::watch::RequestHead& head) {
  const qsizetype query = head.target.indexOf('?');
  return head.upgrade.compare("websocket", Qt::CaseInsensitive) == 0 &&
         (query < 0 ? head.target : head.target.left(query)) ==
             app::watch::RequestHeadGuard::kLivePath;
}

}  // namespace

ConnectionGuard::ConnectionGuard(QTcpSocket* socket, GuardedTcpServer* server,
                                 app::watch::RequestHeadGuard guard,
                                 const app::watch::WatchService& service, ClientTimes times)
    : QObject(socket),
      socket_(socket),
      server_(server),
      guard_(std::move(guard)),
      service_(service),
      times_(times) {
  socket->setReadBufferSize(kReadAhead);
  connect(socket, &QTcpSocket::readyRead, this, &ConnectionGuard::pump);
  connect(socket, &QTcpSocket::bytesWritten, this, &ConnectionGuard::took);
  deadline_.setSingleShot(true);
  connect(&deadline_, &QTimer::timeout, this, [this] {
    if (state_ != State::Live) drop(Drop::TimedOut);
  });
  deadline_.start(times_.firstHeadMs);
}

ConnectionGuard::~ConnectionGuard() {
  if (server_) server_->gone(this);
}

void ConnectionGuard::drop(Drop why) {
  if (server_) {
    ClientDrops& drops = server_->drops();
    ++(why == Drop::Evicted      ? drops.evicted
       : why == Drop::OverBudget ? drops.overBudget
                                 : drops.timedOut);
    server_->gone(this);
  }
  deadline_.stop();
  state_ = State::Closing;
  socket_->abort();
}

bool ConnectionGuard::overBudget() const {
  return socket_->bytesToWrite() + socket_->bytesAvailable() > kBudget;
}

// Qt signals new bytes in pieces of any size, and may signal again for bytes already there: each
// look takes up where the last one ended.
void ConnectionGuard::pump() {
  if (!socket_->isOpen()) return;
  if (overBudget()) return drop(Drop::OverBudget);
  if (state_ == State::Closing) socket_->skip(socket_->bytesAvailable());
  while (state_ == State::Reading && socket_->bytesAvailable() > 0 &&
         socket_->bytesToWrite() < kPauseAt) {
    // A head is kept until it is whole, so that one asking for the WebSocket can be read again.
    if (!socket_->isTransactionStarted()) socket_->startTransaction();
    const QByteArray bytes = socket_->peek(kLook);
    const int heads = guard_.completedHeads();
    socket_->skip(
        guard_.scanToHeadEnd(std::string_view(bytes.constData(), std::size_t(bytes.size()))));
    if (guard_.refusal()) return refuse(guard_.refusal());
    if (guard_.completedHeads() != heads) answer(guard_.head());
  }
}

// The client took some of what was sent: that is progress, and room for more.
void ConnectionGuard::took(qint64) {
  if (state_ == State::Live) return;
  deadline_.start(times_.idleMs);
  if (state_ == State::Sending && stream_->sendMore()) close();
  pump();
}

void ConnectionGuard::answer(const app::watch::RequestHead& head) {
  deadline_.start(times_.idleMs);
  if (!shown_ && server_) server_->admitted(this);
  shown_ = true;
  if (asksForLiveUpdates(head)) {
    socket_->rollbackTransaction();
    state_ = State::Live;
    deadline_.stop();
    if (server_) server_->goLive(socket_);
    return;
  }
  socket_->commitTransaction();
  const qsizetype mark = head.target.indexOf('?');
  const QString path = QString::fromLatin1(mark < 0 ? head.target : head.target.left(mark));
  const QUrlQuery query(mark < 0 ? QString() : QString::fromLatin1(head.target.mid(mark + 1)));
  // A HEAD request is answered as a GET would be, for its length, and the body left out.
  app::watch::WatchResponse response = service_.answer({false, path, query});
  std::unique_ptr<QFile> file;
  if (!response.filePath.isEmpty()) {
    // The data file is read as it stands now; the run goes on appending to it meanwhile.
    file = std::make_unique<QFile>(response.filePath);
    if (!file->open(QIODevice::ReadOnly)) {
      response = {500,
                  "text/plain; charset=utf-8",
                  "The data file cannot be read: " + file->errorString().toUtf8() + '\n',
                  {}};
      file.reset();
    }
  }
  const qint64 length = file ? file->size() : response.body.size();
  const bool sendsFile = file && !head.headOnly;
  socket_->write(app::watch::answerHead(response.status, response.contentType, length, head.host,
                                        !head.keepAlive || sendsFile));
  if (sendsFile) {
    state_ = State::Sending;
    stream_ = std::make_unique<FileStream>(socket_, std::move(file), length);
    if (stream_->sendMore()) close();
    return;
  }
  if (!head.headOnly) socket_->write(response.body);
  if (!head.keepAlive) close();
}

void ConnectionGuard::refuse(int status) {
  socket_->write(app::watch::refusalResponse(status));
  deadline_.start(times_.idleMs);
  close();
}

// Ends the connection once what waits to be sent has gone; whatever the client sends meanwhile
// is thrown away, so that the system ends it cleanly rather than with a reset.
void ConnectionGuard::close() {
  if (socket_->isTransactionStarted()) socket_->commitTransaction();
  socket_->skip(socket_->bytesAvailable());
  state_ = State::Closing;
  stream_.reset();
  socket_->disconnectFromHost();
}

}  // namespace tessarin::qt
