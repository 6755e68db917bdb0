// A web client's bytes on one connection of the served page, as the request guard reads them,
// with the access check of a page served beyond this machine
// (carriesToken with a token of 64 hexadecimal digits). The first byte shapes the connection:
// its two low bits say how many times the other bytes are sent one after the other (1 to 4, so
// that a request line or a head may outgrow the guard's 8 KiB within libFuzzer's -max_len), its
// six high bits choose the sizes of the pieces the bytes arrive in. The same bytes are scanned
// whole, in those pieces and one at a time, and once more without an access check; every way
// must come to the same verdict at the same byte. They are also read as a connection of the
// console reads pipelined requests: in looks of random sizes, each up to the end of a head, the
// rest looked at again with what follows, with the Host names of a loopback server. The bytes
// before and after the first line end also go to carriesToken directly, as a target and an
// Authorization header and the other way round (the bytes after it as a target's query), and the
// query of every target the access check sees is read as the page's /api/data reads its max.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrlQuery>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/watch/AccessToken.h"
#include "app/watch/RequestHeadGuard.h"

namespace {

using tessarin::app::watch::carriesToken;
using tessarin::app::watch::refusalResponse;
using tessarin::app::watch::RequestHeadGuard;
using tessarin::app::watch::sameSecret;

const QByteArray kToken = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";

void require(bool holds) {
  if (!holds) __builtin_trap();
}

bool isVerdict(int v) {
  return v == 0 || v == 400 || v == 401 || v == 403 || v == 404 || v == 405 || v == 414 ||
         v == 421 || v == 431;
}

QByteArray pathOf(const QByteArray& target) {
  const qsizetype query = target.indexOf('?');
  return query < 0 ? target : target.left(query);
}

// What the page's /api/data makes of a query: its max, when there is one.
void readAsTheDataApi(const QByteArray& query) {
  const QUrlQuery items(QString::fromLatin1(query));
  if (items.hasQueryItem("max")) (void)items.queryItemValue("max").toInt();
}

// carriesToken, for any target and Authorization header: never with an empty token; always with
// the token as a Bearer; with the token otherwise only where the header or the query shows it.
void checkTokenOn(const QByteArray& target, const QByteArray& authorization) {
  require(!carriesToken(target, authorization, QByteArray()));
  require(carriesToken(target, "Bearer " + kToken, kToken));
  require(carriesToken(target, "Bearer \t" + kToken + " ", kToken));
  QByteArray wrong = kToken;
  wrong[int(qHash(target) % 64)] ^= 0x01;
  const bool byQuery = carriesToken(target, QByteArray(), kToken);
  require(carriesToken(target, "Bearer " + wrong, kToken) == byQuery);
  const qsizetype query = target.indexOf('?');
  require(!byQuery || query >= 0);
  if (query >= 0) readAsTheDataApi(target.mid(query + 1));
  const bool byHeader =
      authorization.startsWith("Bearer ") && authorization.mid(7).trimmed() == kToken;
  require(carriesToken(target, authorization, kToken) == (byHeader || byQuery));
  // The constant-time comparison says what == says, but never for an empty secret.
  require(sameSecret(target, authorization) == (target == authorization && !target.isEmpty()));
}

// A refusal is a whole HTTP/1.1 response that says its status and closes the connection, and
// whose Content-Length is the length of its body.
void checkRefusal(int status) {
  const QByteArray response = refusalResponse(status);
  const QByteArray statusLine = "HTTP/1.1 " + QByteArray::number(status) + ' ';
  require(response.startsWith(statusLine));
  const qsizetype headEnd = response.indexOf("\r\n\r\n");
  require(headEnd > 0);
  const QByteArray body = response.mid(headEnd + 4);
  const QList<QByteArray> lines = response.left(headEnd).split('\n');
  require(lines.size() >= 2);
  require(lines[0].size() > statusLine.size() + 1 && lines[0].endsWith('\r'));
  require(!lines[0].contains("Error"));
  int lengths = 0;
  int closes = 0;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QByteArray& line = lines[i];
    // Every line ends in CR LF (the last before the blank line's); none holds a stray CR.
    require(i == lines.size() - 1 || line.endsWith('\r'));
    const QByteArray text = i == lines.size() - 1 ? line : line.chopped(1);
    require(!text.contains('\r') && !text.isEmpty());
    if (i == 0) continue;
    const qsizetype colon = text.indexOf(": ");
    require(colon > 0);
    const QByteArray name = text.left(colon).toLower();
    const QByteArray value = text.mid(colon + 2);
    if (name == "content-length") {
      ++lengths;
      bool ok = false;
      require(value.toLongLong(&ok) == body.size() && ok);
    }
    if (name == "connection") closes += value == "close";
    require(name != "transfer-encoding");
  }
  require(lengths == 1 && closes == 1 && !body.isEmpty());
  require(body.startsWith(QByteArray::number(status) + ' '));
  if (status == 401) require(response.contains("\r\nWWW-Authenticate: Bearer\r\n"));
  if (status == 405) require(response.contains("\r\nAllow: GET, HEAD\r\n"));
}

// A guard with the token check that counts what it is asked, and checks that nothing it refused
// at the request line reaches it.
struct Checked {
  int asked = 0;
  int admitted = 0;
  bool lastAdmitted = true;
  RequestHeadGuard guard{[this](const QByteArray& target, const QByteArray& authorization) {
    require(target.startsWith('/'));
    const QByteArray path = pathOf(target);
    for (const char c : path) require(c > 0x20 && c < 0x7f && c != '%' && c != '\\');
    for (const QByteArray& segment : path.split('/')) require(segment != "..");
    for (const char c : target) require(c != ' ' && c != '\n');
    const qsizetype query = target.indexOf('?');
    if (query >= 0) readAsTheDataApi(target.mid(query + 1));
    ++asked;
    lastAdmitted = carriesToken(target, authorization, kToken);
    admitted += lastAdmitted;
    return lastAdmitted;
  }};

  // Heads that passed the guard passed the access check; one more was asked only when that was
  // the head the guard refused (401 from the check, 404 for a socket elsewhere, 403 for a socket
  // asked for by another site's page).
  void checkAgainstAccess(int verdict) const {
    const int heads = guard.completedHeads();
    const bool afterAccess = verdict == 404 || verdict == 403;
    require(asked == heads || (asked == heads + 1 && (verdict == 401 || afterAccess)));
    require(verdict != 401 || (asked == heads + 1 && !lastAdmitted));
    require(admitted == heads || (admitted == heads + 1 && afterAccess && lastAdmitted));
  }
};

struct After {
  int verdict;
  int heads;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t shape = data[0];
  const std::string_view once(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string stream;
  for (int i = 0; i <= (shape & 3); ++i) stream += once;
  const std::string_view bytes(stream);

  // One byte at a time: the verdict and the heads after every byte.
  Checked single;
  std::vector<After> after;
  after.reserve(bytes.size());
  int verdict = 0;
  for (std::size_t at = 0; at < bytes.size(); ++at) {
    const int headsBefore = single.guard.completedHeads();
    const int v = single.guard.scan(bytes.substr(at, 1));
    const int heads = single.guard.completedHeads();
    require(isVerdict(v));
    require(verdict == 0 || v == verdict);                      // a refusal stays
    require(heads == headsBefore || heads == headsBefore + 1);  // one byte ends one head at most
    require(verdict == 0 || heads == headsBefore);              // nothing passes after a refusal
    verdict = v;
    after.push_back({v, heads});
  }
  const After end = after.empty() ? After{0, 0} : after.back();
  single.checkAgainstAccess(end.verdict);
  // A refused connection stays refused, whatever follows; a scan of nothing changes nothing.
  require(single.guard.scan({}) == end.verdict);
  if (end.verdict) {
    require(single.guard.scan("GET / HTTP/1.1\r\n\r\n") == end.verdict);
    require(single.guard.completedHeads() == end.heads);
    checkRefusal(end.verdict);
  }

  // All at once.
  Checked whole;
  require(whole.guard.scan(bytes) == end.verdict);
  require(whole.guard.completedHeads() == end.heads);
  whole.checkAgainstAccess(end.verdict);

  // In pieces: after each, what the single bytes came to at the same place.
  Checked pieces;
  std::uint32_t random = shape >> 2;
  static constexpr std::size_t kLongest[] = {2, 9, 100, 3000};
  for (std::size_t at = 0; at < bytes.size();) {
    random = random * 1103515245u + 12345u;
    const std::size_t piece = 1 + (random >> 16) % kLongest[(random >> 8) & 3];
    const std::string_view next = bytes.substr(at, piece);
    at += next.size();
    const After& there = after[at - 1];
    require(pieces.guard.scan(next) == there.verdict);
    require(pieces.guard.completedHeads() == there.heads);
  }
  pieces.checkAgainstAccess(end.verdict);

  // Without an access check (a page on a loopback address) the guard comes to the same, but for
  // the heads the check refused, and it never answers 401.
  RequestHeadGuard open;
  const int openVerdict = open.scan(bytes);
  require(isVerdict(openVerdict) && openVerdict != 401);
  if (end.verdict != 401)
    require(openVerdict == end.verdict && open.completedHeads() == end.heads);
  else
    require(open.completedHeads() >= end.heads);

  // Pipelined requests as a connection reads them, on a loopback server: never more than what it
  // was given, stopping early only at the end of a head or at a refusal, one head at most each
  // time, and in the end what one scan of all the bytes comes to.
  const QList<QByteArray> names = {"localhost", "127.0.0.1"};
  RequestHeadGuard all(RequestHeadGuard::AccessCheck(), names);
  const int allVerdict = all.scan(bytes);
  require(isVerdict(allVerdict) && allVerdict != 401);
  RequestHeadGuard reader(RequestHeadGuard::AccessCheck(), names);
  random = shape * 2654435761u;
  for (std::size_t at = 0; at < bytes.size() && !reader.refusal();) {
    random = random * 1103515245u + 12345u;
    const std::string_view look =
        bytes.substr(at, 1 + (random >> 16) % kLongest[(random >> 8) & 3]);
    const int heads = reader.completedHeads();
    const qsizetype used = reader.scanToHeadEnd(look);
    const bool ended = reader.completedHeads() == heads + 1;
    require(used > 0 && std::size_t(used) <= look.size());
    require(ended || reader.completedHeads() == heads);
    require(ended || reader.refusal() || std::size_t(used) == look.size());
    if (ended) {
      const QByteArray host = reader.head().host.toLower();
      require(reader.head().target.startsWith('/'));
      require(host.isEmpty() || host.startsWith("localhost") || host.startsWith("127.0.0.1"));
    }
    at += std::size_t(used);
  }
  require(reader.refusal() == allVerdict && reader.completedHeads() == all.completedHeads());

  // The first line as a target and the rest as an Authorization header; the rest as a target's
  // query and the first line as the header.
  const QByteArray input(once.data(), qsizetype(once.size()));
  const qsizetype lineEnd = input.indexOf('\n');
  const QByteArray first = lineEnd < 0 ? input : input.left(lineEnd);
  const QByteArray rest = lineEnd < 0 ? QByteArray() : input.mid(lineEnd + 1);
  checkTokenOn(first, rest);
  checkTokenOn("/api/data?" + rest, first);
  return 0;
}
