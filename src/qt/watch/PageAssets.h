#pragma once

#include <QHash>
#include <QString>

#include "app/watch/WatchService.h"
#include "platform/Result.h"

namespace tessarin::qt {

// Where Debian's libjs-dygraphs puts the charting library the page draws with.
inline constexpr auto kDygraphsFolder = "/usr/share/javascript/dygraphs";

// The page's own files, built into the program, and the charting library, read once from
// `dygraphsFolder`, by the paths the page asks for them.
platform::Result<QHash<QString, app::watch::PageAsset>> loadPageAssets(
    const QString& dygraphsFolder = kDygraphsFolder);

}  // namespace tessarin::qt
