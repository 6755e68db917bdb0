#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QUrlQuery>
#include <cstddef>
#include <cstdint>

#include "app/watch/PlotTap.h"

namespace tessarin::app {
class Console;
}

namespace tessarin::app::watch {

// A file of the page itself (its HTML, script, style, the charting library).
struct PageAsset {
  QByteArray contentType;
  QByteArray bytes;
};

// A request that passed the guard and the access check.
struct WatchRequest {
  bool head = false;  // HEAD: the answer's head only
  QString path;
  QUrlQuery query;
};

struct WatchResponse {
  int status = 200;
  QByteArray contentType;
  QByteArray body;
  // Where not empty, the body is this file's content, read when it is sent.
  QString filePath;
};

// The served page and its JSON API, answered from the console's state as it stands and from the
// copies its plots' taps keep. Reads only: nothing here changes the console.
class WatchService {
 public:
  static constexpr int kDefaultDataPoints = 2000;
  static constexpr int kMaxDataPoints = 2 * ReducedSeries::kMaxBuckets;

  // `token`: the one every request must show, empty for none. The page's own links then carry
  // it too, since a browser sends no Authorization header for a script or a style sheet.
  WatchService(const Console& console, const PlotTap& dataPlot, const PlotTap& stabilityPlot,
               QHash<QString, PageAsset> assets, QByteArray token);

  WatchResponse answer(const WatchRequest& request) const;
  // Looks whether anything the page shows has changed since the last look; if so, the revision
  // the page is told of goes up by one and the answer is true.
  bool refresh();
  std::uint64_t revision() const { return revision_; }

 private:
  QByteArray status() const;
  QByteArray stability() const;
  WatchResponse data(const QUrlQuery& query) const;
  QByteArray events() const;
  WatchResponse dataFile() const;

  const Console& console_;
  const PlotTap& dataPlot_;
  const PlotTap& stabilityPlot_;
  QHash<QString, PageAsset> assets_;
  std::size_t lastLook_ = 0;
  std::uint64_t revision_ = 0;
};

}  // namespace tessarin::app::watch
