#pragma once

#include <QByteArray>
#include <functional>
#include <string_view>

namespace tessarin::app::watch {

// Watches the bytes a client of the served page sends, before the HTTP server parses them, so
// that a hostile or broken client is refused at once and cheaply: only GET and HEAD, no bodies,
// a request line and a head of at most 8 KiB each, a path of plain characters with no ".." and
// no percent-encoding (none of ours needs one), so that no trick of encoding reaches a file.
// Request heads may follow one another on a kept-alive connection. Every complete head must
// also pass the access check, which sees its target and its Authorization header. A head that
// asks for a WebSocket is let through on the live updates' path only; should the server take the
// connection for one, its frames no longer come here, and should it not, the guard goes on
// scanning what follows as requests.
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
  explicit RequestHeadGuard(AccessCheck access) : access_(std::move(access)) {}

  // Scans the next bytes of the connection. 0 while they may go on to the server; otherwise the
  // HTTP status to refuse the connection with (400, 401, 404, 405, 414, 431), and every later
  // call returns it again.
  int scan(std::string_view bytes);
  // Heads that passed so far.
  int completedHeads() const { return completedHeads_; }

 private:
  int endLine();
  int checkRequestLine();
  int checkHeaderLine();
  int checkHead() const;

  AccessCheck access_;
  QByteArray line_;  // the line scanned so far, without its line end
  int headBytes_ = 0;
  int headerLines_ = 0;
  int blankLines_ = 0;                 // empty lines since the last head
  QByteArray target_, authorization_;  // of the head being scanned
  bool upgrade_ = false;               // it asks for a WebSocket
  int completedHeads_ = 0;
  bool inHead_ = false;  // the request line has been seen; header lines follow
  int refusal_ = 0;
};

// The whole answer that refuses a connection with `status`: a short text and "Connection: close".
QByteArray refusalResponse(int status);

}  // namespace tessarin::app::watch
