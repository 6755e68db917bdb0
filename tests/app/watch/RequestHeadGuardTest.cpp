#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/watch/RequestHeadGuard.h"

namespace tessarin::app::watch {
namespace {

const std::string kToken(64, 'a');

bool tokenCheck(const QByteArray& target, const QByteArray& authorization) {
  return target.endsWith("?token=" + QByteArray::fromStdString(kToken)) ||
         authorization == "Bearer " + QByteArray::fromStdString(kToken);
}

TEST(RequestHeadGuardTest, RefusesWhatNoPageRequestLooksLikeAndLetsThePageThrough) {
  const std::string head = "GET /api/status HTTP/1.1\r\nHost: a\r\n\r\n";
  struct Case {
    const char* what;
    std::string bytes;
    int verdict;
    int heads;
  };
  const std::vector<Case> cases = {
      {"a page request", head, 0, 1},
      {"two on one connection", head + "HEAD / HTTP/1.0\n\n", 0, 2},
      {"a head not yet complete", "GET / HTTP/1.1\r\nHost:", 0, 0},
      {"stray line ends first", "\r\n\r\n" + head, 0, 1},
      {"a POST", "POST /api/status HTTP/1.1\r\n\r\n", 405, 0},
      {"no version", "GET /\r\n\r\n", 400, 0},
      {"a target that is no path", "GET http://x/ HTTP/1.1\r\n\r\n", 400, 0},
      {"a body", "GET / HTTP/1.1\r\nContent-Length: 5\r\n\r\nGET /", 400, 0},
      {"an empty body", "GET / HTTP/1.1\r\nContent-Length: 0\r\n\r\n", 0, 1},
      {"a chunked body", "GET / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", 400, 0},
      {"a header line without a name", "GET / HTTP/1.1\r\n: x\r\n\r\n", 400, 0},
      {"a climbing path", "GET /data/../etc/passwd HTTP/1.1\r\n\r\n", 404, 0},
      {"an encoded path", "GET /%64ata HTTP/1.1\r\n\r\n", 404, 0},
      {"an encoded climb", "GET /%2e%2e/x HTTP/1.1\r\n\r\n", 404, 0},
      {"a backslash", "GET /..\\x HTTP/1.1\r\n\r\n", 404, 0},
      {"a query may be encoded", "GET /api/data?max=%32 HTTP/1.1\r\n\r\n", 0, 1},
      {"a request line of 8 KiB and more", "GET /" + std::string(8200, 'a'), 414, 0},
      {"a head of 8 KiB and more", "GET / HTTP/1.1\r\nX: " + std::string(8200, 'a') + "\r\n\r\n",
       431, 0},
      {"too many header lines",
       "GET / HTTP/1.1\r\n" +
           [] {
             std::string lines;
             for (int i = 0; i < 101; ++i) lines += "X: y\r\n";
             return lines;
           }(),
       431, 0},
      {"endless empty lines", std::string(40, '\n'), 400, 0},
      {"the live updates' socket", "GET /api/live HTTP/1.1\r\nUpgrade: websocket\r\n\r\n", 0, 1},
      {"a socket anywhere else", "GET / HTTP/1.1\r\nUpgrade: websocket\r\n\r\n", 404, 0},
      {"requests after a socket's head the server did not take",
       "GET /api/live HTTP/1.1\r\nUpgrade: h2c\r\n\r\nPOST /x HTTP/1.1\r\n\r\n", 405, 1},
  };
  for (const Case& c : cases) {
    for (const std::size_t piece : {c.bytes.size(), std::size_t(1), std::size_t(7)}) {
      RequestHeadGuard guard;
      int verdict = 0;
      for (std::size_t at = 0; at < c.bytes.size() && !verdict; at += piece)
        verdict = guard.scan(std::string_view(c.bytes).substr(at, piece));
      EXPECT_EQ(verdict, c.verdict) << c.what << " in pieces of " << piece;
      EXPECT_EQ(guard.completedHeads(), c.heads) << c.what;
      EXPECT_EQ(guard.scan("GET / HTTP/1.1\r\n\r\n") != 0, c.verdict != 0)
          << c.what << ": a refused connection stays refused";
    }
  }
}

TEST(RequestHeadGuardTest, EveryHeadMustPassTheAccessCheckAndARefusalSaysWhy) {
  const std::string token(kToken);
  struct Case {
    std::string head;
    int verdict;
  };
  const std::vector<Case> cases = {
      {"GET /api/status HTTP/1.1\r\n\r\n", 401},
      {"GET /api/status?token=" + token + " HTTP/1.1\r\n\r\n", 0},
      {"GET / HTTP/1.1\r\nAuthorization: Bearer " + token + "\r\n\r\n", 0},
      {"GET /api/live HTTP/1.1\r\nUpgrade: websocket\r\n\r\n", 401},
  };
  for (const Case& c : cases) {
    RequestHeadGuard guard(tokenCheck);
    EXPECT_EQ(guard.scan(c.head), c.verdict) << c.head;
  }

  const QByteArray refusal = refusalResponse(401);
  EXPECT_TRUE(refusal.startsWith("HTTP/1.1 401 Unauthorized\r\n"));
  EXPECT_TRUE(refusal.contains("\r\nWWW-Authenticate: Bearer\r\n"));
  EXPECT_TRUE(refusal.contains("\r\nConnection: close\r\n"));
  const qsizetype body = refusal.indexOf("\r\n\r\n") + 4;
  EXPECT_TRUE(refusal.contains("Content-Length: " + QByteArray::number(refusal.size() - body)));
  EXPECT_TRUE(refusalResponse(405).contains("\r\nAllow: GET, HEAD\r\n"));
}

TEST(RequestHeadGuardTest, OnLoopbackOnlyTheServersOwnNamesAndOwnPagesPass) {
  const std::string socket =
      "GET /api/live HTTP/1.1\r\nUpgrade: websocket\r\nHost: 127.0.0.1:8080\r\n";
  struct Case {
    std::string head;
    int verdict;
  };
  const std::vector<Case> cases = {
      {"GET / HTTP/1.1\r\nHost: 127.0.0.1:8080\r\n", 0},
      {"GET / HTTP/1.1\r\nHost: LOCALHOST\r\n", 0},
      {"GET / HTTP/1.1\r\n", 0},  // no browser leaves the Host out
      {"GET / HTTP/1.1\r\nHost: attacker.example:8080\r\n", 421},
      {"GET / HTTP/1.1\r\nHost: 127.0.0.1.attacker.example\r\n", 421},
      {"GET / HTTP/1.1\r\nHost: localhost\r\nHost: attacker.example\r\n", 400},
      {socket + "Origin: http://127.0.0.1:8080\r\n", 0},
      {socket + "Origin: http://evil.example\r\n", 403},
      {socket + "Origin: http://127.0.0.1:8081\r\n", 403},
      {socket + "Origin: null\r\n", 403},
  };
  for (const Case& c : cases) {
    RequestHeadGuard guard({}, {"localhost", "127.0.0.1"});
    EXPECT_EQ(guard.scan(c.head + "\r\n"), c.verdict) << c.head;
  }
  // Beyond loopback any Host passes, but a WebSocket still comes from the page's own origin.
  RequestHeadGuard anyHost(tokenCheck);
  const std::string token = "?token=" + kToken;
  EXPECT_EQ(anyHost.scan("GET /" + token + " HTTP/1.1\r\nHost: lab.example\r\n\r\n"), 0);
  EXPECT_EQ(anyHost.scan("GET /api/live" + token +
                         " HTTP/1.1\r\nUpgrade: websocket\r\nHost: lab.example\r\n"
                         "Origin: http://evil.example\r\n\r\n"),
            403);
}

TEST(RequestHeadGuardTest, ScanningToAHeadsEndStopsThereAndSaysWhatItHolds) {
  const std::string two =
      "HEAD /api/live?x=1 HTTP/1.0\r\nHost: h\r\nUpgrade: websocket\r\n\r\nGET /b HTTP/1.1\r\n"
      "Connection: Close\r\n\r\n";
  RequestHeadGuard guard;
  const qsizetype first = guard.scanToHeadEnd(two);
  EXPECT_EQ(two.substr(0, std::size_t(first)).find("GET"), std::string::npos);
  EXPECT_TRUE(two.substr(std::size_t(first)).starts_with("GET /b"));
  EXPECT_TRUE(guard.head().headOnly);
  EXPECT_FALSE(guard.head().keepAlive);
  EXPECT_EQ(guard.head().target, "/api/live?x=1");
  EXPECT_EQ(guard.head().host, "h");
  EXPECT_EQ(guard.head().upgrade, "websocket");
  EXPECT_EQ(guard.scanToHeadEnd(std::string_view(two).substr(std::size_t(first))),
            qsizetype(two.size()) - first);
  EXPECT_FALSE(guard.head().headOnly);
  EXPECT_FALSE(guard.head().keepAlive) << "Connection: close";
  EXPECT_TRUE(guard.head().upgrade.isEmpty());
}

}  // namespace
}  // namespace tessarin::app::watch
