#include "app/watch/ResponseHead.h"

#include <algorithm>

namespace tessarin::app::watch {

namespace {

const char* reasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 400:
      return "Bad Request";
    case 401:
      return "Unauthorized";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 405:
      return "Method Not Allowed";
    case 414:
      return "URI Too Long";
    case 421:
      return "Misdirected Request";
    case 431:
      return "Request Header Fields Too Large";
    case 500:
      return "Internal Server Error";
    case 503:
      return "Service Unavailable";
    default:
      return "Error";
  }
}

QByteArray statusLine(int status) {
  return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
}

// A host as it may stand in a policy: a name or an address, with a port, and nothing else.
bool isPlainHost(const QByteArray& host) {
  return !host.isEmpty() && std::all_of(host.begin(), host.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == ':' || c == '[' || c == ']';
  });
}

}  // namespace

QByteArray refusalResponse(int status) {
  const QByteArray body = QByteArray::number(status) + ' ' + reasonPhrase(status) + '\n';
  QByteArray response = statusLine(status) +
                        "Content-Type: text/plain; charset=utf-8\r\nContent-Length: " +
                        QByteArray::number(body.size()) + "\r\nConnection: close\r\n";
  if (status == 405) response += "Allow: GET, HEAD\r\n";
  if (status == 401) response += "WWW-Authenticate: Bearer\r\n";
  return response + "\r\n" + body;
}

QByteArray answerHead(int status, const QByteArray& contentType, qint64 length,
                      const QByteArray& host, bool close) {
  // The page loads nothing from elsewhere and runs no inline script; its live updates come from
  // its own origin only; the token in its address never leaves in a Referer.
  const QByteArray liveOrigins =
      isPlainHost(host) ? " ws://" + host + " wss://" + host : QByteArray();
  QByteArray head = statusLine(status) + "Content-Type: " + contentType +
                    "\r\nContent-Length: " + QByteArray::number(length) +
                    "\r\nCache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n"
                    "Referrer-Policy: no-referrer\r\nContent-Security-Policy: default-src 'self'; "
                    "connect-src 'self'" +
                    liveOrigins +
                    "; img-src 'self' data:; style-src 'self'; frame-ancestors 'none'\r\n";
  if (close) head += "Connection: close\r\n";
  return head + "\r\n";
}

}  // namespace tessarin::app::watch
