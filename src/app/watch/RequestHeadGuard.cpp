#include "app/watch/RequestHeadGuard.h"

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

// The name part of a Host header ("[::1]" of "[::1]:8080", "localhost" of "localhost:8080").
QByteArray hostName(const QByteArray& host) {
  const qsizetype colon = host.lastIndexOf(':');
  return colon < 0 || host.lastIndexOf(']') > colon ? host : host.left(colon);
}

bool hasToken(const QByteArray& list, const QByteArray& token) {
  for (const QByteArray& item : list.split(','))
    if (item.trimmed().toLower() == token) return true;
  return false;
}

}  // namespace

int RequestHeadGuard::scan(std::string_view bytes) {
  while (!bytes.empty() && !refusal_) bytes.remove_prefix(std::size_t(scanToHeadEnd(bytes)));
  return refusal_;
}

qsizetype RequestHeadGuard::scanToHeadEnd(std::string_view bytes) {
  const int heads = completedHeads_;
  qsizetype used = 0;
  for (const char c : bytes) {
    if (refusal_ || completedHeads_ != heads) break;
    step(c);
    ++used;
  }
  return used;
}

void RequestHeadGuard::step(char c) {
  if (inHead_ && ++headBytes_ > kMaxHead) {
    refusal_ = 431;
  } else if (c == '\n') {
    refusal_ = endLine();
  } else if (!inHead_ && line_.size() >= kMaxRequestLine) {
    refusal_ = 414;
  } else {
    line_.append(c);
  }
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
      scanned_ = {};
      authorization_.clear();
      origin_.clear();
      hosts_ = 0;
      upgradeAsked_ = false;
      verdict = checkRequestLine();
      inHead_ = true;
      headBytes_ = int(line_.size()) + 2;
      headerLines_ = 0;
    }
  } else if (line_.isEmpty()) {
    inHead_ = false;  // the head is complete; the next request may follow
    verdict = checkHead();
    if (!verdict) {
      passed_ = scanned_;
      ++completedHeads_;
    }
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
  scanned_.headOnly = parts[0] == "HEAD";
  scanned_.keepAlive = parts[2] == "HTTP/1.1";
  scanned_.target = parts[1];
  if (!scanned_.target.startsWith('/')) return 400;
  const QByteArray path = pathOf(scanned_.target);
  for (const char c : path)
    if (!isPlainTargetCharacter(c)) return 404;
  return climbs(path) ? 404 : 0;
}

int RequestHeadGuard::checkHead() const {
  if (access_ && !access_(scanned_.target, authorization_)) return 401;
  if (upgradeAsked_ && pathOf(scanned_.target) != kLivePath) return 404;
  return checkSite();
}

// A browser always names the host it reached in Host, and the page that asks for a WebSocket in
// Origin; other programs may leave either out.
int RequestHeadGuard::checkSite() const {
  const QByteArray host = scanned_.host.toLower();
  if (!hostNames_.isEmpty() && !host.isEmpty() && !hostNames_.contains(hostName(host))) return 421;
  if (!upgradeAsked_ || origin_.isEmpty()) return 0;
  const QByteArray origin = origin_.toLower();
  return origin == "http://" + host || origin == "https://" + host ? 0 : 403;
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
  if (name == "upgrade") {
    upgradeAsked_ = true;
    scanned_.upgrade = value;
  }
  if (name == "origin") origin_ = value;
  if (name == "connection" && hasToken(value, "close")) scanned_.keepAlive = false;
  if (name == "host") {
    // Two hosts in one request could be read one way here and another way elsewhere.
    if (++hosts_ > 1) return 400;
    scanned_.host = value;
  }
  return 0;
}

}  // namespace tessarin::app::watch
