#pragma once

#include <QByteArray>

namespace tessarin::app::watch {

// The whole answer that refuses a connection with `status`: a short text and "Connection: close".
QByteArray refusalResponse(int status);

// The status line and headers of an answer of the page with a body of `length` bytes. `host` is
// the Host the request named, from which the page's own origin is named as the only other place
// its script may connect to; `close` ends the connection after the answer.
QByteArray answerHead(int status, const QByteArray& contentType, qint64 length,
                      const QByteArray& host, bool close);

}  // namespace tessarin::app::watch
