// One follower of the served page, in a process of its own as a browser would be: once a second
// it reads the status, then the stability, data and events all at once, as the page does when
// the run has moved on (every second during a run). Prints one line per request as it ends,
// "ok MICROSECONDS" or "failed MICROSECONDS WHY", so that run_benchmark can count them. With
// --metrics it is a lab's Prometheus instead: it reads /metrics once a second.
//
//   page_client URL [--metrics]      URL: where the page is served, e.g. http://127.0.0.1:8080/

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

// Why an answer is not one the page could draw; empty when it is.
QString problemWith(QNetworkReply& reply, const QByteArray& body, bool metrics) {
  if (reply.error() != QNetworkReply::NoError) return reply.errorString();
  const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status != 200) return QStringLiteral("HTTP %1").arg(status);
  if (metrics) {
    if (!body.startsWith("# HELP tessarin_up ")) return QStringLiteral("not the metrics");
  } else if (!QJsonDocument::fromJson(body).isObject()) {
    return QStringLiteral("not a JSON object");
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const bool metrics = argc == 3 && QByteArray(argv[2]) == "--metrics";
  if (argc != 2 && !metrics) {
    std::fprintf(stderr, "usage: %s URL [--metrics]\n", argv[0]);
    return 2;
  }
  const QUrl page(QString::fromLocal8Bit(argv[1]));
  QNetworkAccessManager network;
  // The page gives up on a request after ten seconds too.
  network.setTransferTimeout(10000);
  int pending = 0;

  const auto get = [&, metrics](const char* path, std::function<void()> then) {
    ++pending;
    QElapsedTimer clock;
    clock.start();
    QNetworkReply* reply = network.get(QNetworkRequest(page.resolved(QUrl(path))));
    QObject::connect(reply, &QNetworkReply::finished, [&pending, reply, clock, then, metrics] {
      const QString problem = problemWith(*reply, reply->readAll(), metrics);
      const long long us = clock.nsecsElapsed() / 1000;
      if (problem.isEmpty())
        std::printf("ok %lld\n", us);
      else
        std::printf("failed %lld %s\n", us, qPrintable(problem));
      // The bench may end this process at any moment: every line must be out by then.
      std::fflush(stdout);
      reply->deleteLater();
      --pending;
      if (then) then();
    });
  };
  const auto follow = [&] {
    // Like the page, a new round waits until the last one is answered.
    if (pending > 0) return;
    if (metrics) return get("metrics", {});
    get("api/status", [&] {
      for (const char* path : {"api/stability", "api/data?max=2000", "api/events"}) get(path, {});
    });
  };

  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, follow);
  poll.start(1000);
  follow();
  return QCoreApplication::exec();
}
