#include "app/watch/RequestHeadGuard.h"

#include <QList>

namespace tessarin::app::watch {

namespace {

QByteArray pathOf(const QByteArray& target) {
  const qsizetype query = target.indexOf('?');
  return query < 0 ? target : target.left(query);
}

bool isPlainTargetCharacter(char c) { return c > 0x20 && c < 0x7f && c != '%'; }

// The path part of a target may not climb out of the folder it names, however it is written.
bool climbs(const QByteArray& path) {
  for (const QByteArray& segment : path.split('/'))
    if (segment == "..") return true;
  return path.contains("\\");
}

const char* reasonPhrase(int status) {
  switch (status) {
    case 400:
      return "Bad Request";
    case 401:
      return "Unauthorized";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 414:
      return "URI Too Long";
    case 431:
      return "Request Header Fields Too Large";
    case 503:
      return "Service Unavailable";
    default:
      return "Error";
  }
}

}  // namespace

int RequestHeadGuard::scan(std::string_view bytes) {
  for (const char c : bytes) {
    if (refusal_) return refusal_;
    if (inHead_ && ++headBytes_ > kMaxHead) return refusal_ = 431;
    if (c == '\n') {
      refusal_ = endLine();
      continue;
    }
    if (!inHead_ && line_.size() >= kMaxRequestLine) return refusal_ = 414;
    line_.append(c);
  }
  return refusal_;
}

int RequestHeadGuard::endLine() {
  if (line_.endsWith('\r')) line_.chop(1);
  int verdict = 0;
  if (!inHead_) {
    // A few empty lines before a request line are allowed, as after a client's stray line end.
    if (line_.isEmpty()) {
      if (++blankLines_ > kMaxBlankLines) verdict = 400;
    } else {
      blankLines_ = 0;
      authorization_.clear();
      upgrade_ = false;
      verdict = checkRequestLine();
      inHead_ = true;
      headBytes_ = int(line_.size()) + 2;
      headerLines_ = 0;
    }
  } else if (line_.isEmpty()) {
    inHead_ = false;  // the head is complete; the next request may follow
    verdict = checkHead();
    if (!verdict) ++completedHeads_;
  } else if (++headerLines_ > kMaxHeaderLines) {
    verdict = 431;
  } else {
    verdict = checkHeaderLine();
  }
  line_.clear();
  return verdict;
}

int RequestHeadGuard::checkRequestLine() {
  const QList<QByteArray> parts = line_.split(' ');
  if (parts.size() != 3 || (parts[2] != "HTTP/1.1" && parts[2] != "HTTP/1.0")) return 400;
  if (parts[0] != "GET" && parts[0] != "HEAD") return 405;
  target_ = parts[1];
  if (!target_.startsWith('/')) return 400;
  const QByteArray path = pathOf(target_);
  for (const char c : path)
    if (!isPlainTargetCharacter(c)) return 404;
  return climbs(path) ? 404 : 0;
}

int RequestHeadGuard::checkHead() const {
  if (access_ && !access_(target_, authorization_)) return 401;
  if (upgrade_ && pathOf(target_) != kLivePath) return 404;
  return 0;
}

int RequestHeadGuard::checkHeaderLine() {
  const qsizetype colon = line_.indexOf(':');
  if (colon <= 0) return 400;
  const QByteArray name = line_.left(colon).trimmed().toLower();
  const QByteArray value = line_.mid(colon + 1).trimmed();
  // A request of ours never has a body; one that claims a body could hide a second request.
  if (name == "transfer-encoding") return 400;
  if (name == "content-length" && value != "0") return 400;
  if (name == "authorization") authorization_ = value;
  if (name == "upgrade") upgrade_ = true;
  return 0;
}

QByteArray refusalResponse(int status) {
  const QByteArray body = QByteArray::number(status) + ' ' + reasonPhrase(status) + '\n';
  QByteArray response = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) +
                        "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
                        QByteArray::number(body.size()) + "\r\nConnection: close\r\n";
  if (status == 405) response += "Allow: GET, HEAD\r\n";
  if (status == 401) response += "WWW-Authenticate: Bearer\r\n";
  return response + "\r\n" + body;
}

}  // namespace tessarin::app::watch
