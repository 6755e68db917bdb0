#pragma once

#include <QByteArray>
#include <QList>
#include <functional>
#include <string_view>

#include "app/watch/ResponseHead.h"

namespace tessarin::app::watch {

// A request head that passed the guard: what answering it needs.
struct RequestHead {
  bool headOnly = false;  // HEAD: the answer's head alone
  bool keepAlive = true;  // HTTP/1.1 without "Connection: close"; HTTP/1.0 is never kept
  QByteArray target;
  QByteArray host;     // empty when the client sent none
  QByteArray upgrade;  // what the Upgrade header asks for, empty for none
};

// Reads the bytes a client of the served page sends, each byte once, so that a hostile or broken
// client is refused at once and cheaply: only GET and HEAD, no bodies, a request line and a head
// of at most 8 KiB each, a path of plain characters with no ".." and no percent-encoding (none of
// ours needs one), so that no trick of encoding reaches a file. Request heads may follow one
// another on a kept-alive connection. Every complete head must also pass the access check, which
// sees its target and its Authorization header. A head that asks for a WebSocket is let through on
// the live updates' path only, and only from a page of the origin its Host names. Where the page
// is served on a loopback address, the Host must be one of the names the server answers to, so
// that no web page can reach it through a DNS name of its own that it points at this machine.
class RequestHeadGuard {
 public:
  using AccessCheck =
      std::function<bool(const QByteArray& target, const QByteArray& authorization)>;

  static constexpr int kMaxRequestLine = 8192;
  static constexpr int kMaxHead = 8192;
  static constexpr int kMaxHeaderLines = 100;
  static constexpr int kMaxBlankLines = 8;
  // The page's live updates come through a WebSocket at this path, and through no other.
  static inline const QByteArray kLivePath = "/api/live";

  // No access check: every client may read the page (a server bound to a loopback address).
  RequestHeadGuard() = default;
  // `hostNames` (lowercase, without a port): the names a Host may give; empty for any.
  explicit RequestHeadGuard(AccessCheck access, QList<QByteArray> hostNames = {})
      : access_(std::move(access)), hostNames_(std::move(hostNames)) {}

  // Scans the next bytes of the connection. 0 while they may go on to the server; otherwise the
  // HTTP status to refuse the connection with (400, 401, 403, 404, 405, 414, 421, 431), and
  // every later call returns it again.
  int scan(std::string_view bytes);
  // Scans `bytes` up to the end of the next head that passes, or up to a refusal, and returns how
  // many it took; the rest is for later calls.
  qsizetype scanToHeadEnd(std::string_view bytes);
  int refusal() const { return refusal_; }
  // Heads that passed so far.
  int completedHeads() const { return completedHeads_; }
  // The last head that passed.
  const RequestHead& head() const { return passed_; }

 private:
  void step(char c);
  int endLine();
  int checkRequestLine();
  int checkHeaderLine();
  int checkHead() const;
  int checkSite() const;

  AccessCheck access_;
  QList<QByteArray> hostNames_;
  QByteArray line_;  // the line scanned so far, without its line end
  int headBytes_ = 0;
  int headerLines_ = 0;
  int blankLines_ = 0;   // empty lines since the last head
  RequestHead scanned_;  // the head being scanned
  QByteArray authorization_, origin_;
  int hosts_ = 0;              // Host headers in the head being scanned
  bool upgradeAsked_ = false;  // it has an Upgrade header
  RequestHead passed_;
  int completedHeads_ = 0;
  bool inHead_ = false;  // the request line has been seen; header lines follow
  int refusal_ = 0;
};

}  // namespace tessarin::app::watch
