#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "app/watch/PlotTap.h"
#include "app/watch/WatchService.h"
#include "platform/Result.h"
#include "qt/watch/PageAssets.h"
#include "qt/watch/WatchServer.h"

namespace tessarin::bench {

// The run's page served on 127.0.0.1, as the console serves it, with followers polling it from
// processes of their own (page_client, next to the bench), so that the bench's own process does
// nothing for them but answer; scrapers read its metrics once a second, as a lab's Prometheus.
class FollowedPage {
 public:
  // What the followers were answered.
  struct Tally {
    int answered = 0;
    int failed = 0;
    std::vector<double> answerUs;  // how long each answered request took, as a follower saw it
    QStringList problems;          // the followers' own words for the failures
  };

  static platform::Result<std::unique_ptr<FollowedPage>> start(
      const app::Console& console, const app::watch::PlotTap& dataPlot,
      const app::watch::PlotTap& stabilityPlot, int followers, int scrapers) {
    using Started = platform::Result<std::unique_ptr<FollowedPage>>;
    auto assets = qt::loadPageAssets();
    if (!assets) return Started::failure(assets.reason());
    std::unique_ptr<FollowedPage> page(new FollowedPage);
    page->service_ = std::make_unique<app::watch::WatchService>(
        console, dataPlot, stabilityPlot, std::move(assets.value()), QByteArray());
    page->server_ = std::make_unique<qt::WatchServer>(*page->service_, QByteArray());
    const platform::Result<quint16> port = page->server_->listenOn(QHostAddress::LocalHost, 0);
    if (!port) return Started::failure(port.reason());
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(port.value());
    const QString client = QCoreApplication::applicationDirPath() + "/page_client";
    for (int i = 0; i < followers + scrapers; ++i) {
      auto& process = page->clients_.emplace_back(std::make_unique<QProcess>());
      process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
      process->start(client, i < followers ? QStringList{url} : QStringList{url, "--metrics"});
      if (!process->waitForStarted())
        return Started::failure(client + " does not start: " + process->errorString());
    }
    // The run starts with every follower on the page.
    QElapsedTimer waited;
    waited.start();
    while (!page->everyoneAnswered()) {
      if (waited.elapsed() > 10000)
        return Started::failure("The followers had no answer within ten seconds at " + url);
      // The server's own once-a-second look wakes this up should no follower ever answer.
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return page;
  }

  // Ends the followers and counts what they were answered.
  Tally stop() {
    Tally tally;
    for (const auto& process : clients_) {
      process->terminate();
      process->waitForFinished();
      for (const QByteArray& line : process->readAllStandardOutput().split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() < 2) continue;
        if (words[0] == "ok") {
          ++tally.answered;
          tally.answerUs.push_back(words[1].toDouble());
        } else {
          ++tally.failed;
          tally.problems.append(QString::fromUtf8(line));
        }
      }
    }
    return tally;
  }

 private:
  FollowedPage() = default;

  bool everyoneAnswered() const {
    for (const auto& process : clients_)
      if (!process->canReadLine()) return false;
    return true;
  }

  std::unique_ptr<app::watch::WatchService> service_;
  std::unique_ptr<qt::WatchServer> server_;
  std::vector<std::unique_ptr<QProcess>> clients_;
};

}  // namespace tessarin::bench
