#include "qt/watch/PageAssets.h"

#include <QDir>
#include <QFile>

// The page's files are built into the console's library; this makes sure the linker keeps them.
static void keepPageResources() { Q_INIT_RESOURCE(page); }

namespace tessarin::qt {

platform::Result<QHash<QString, app::watch::PageAsset>> loadPageAssets(
    const QString& dygraphsFolder) {
  struct Source {
    const char* path;
    QString file;
    const char* contentType;
  };
  const QDir dygraphs(dygraphsFolder);
  const Source sources[] = {
      {"/index.html", ":/page/index.html", "text/html; charset=utf-8"},
      {"/page.js", ":/page/page.js", "text/javascript; charset=utf-8"},
      {"/page.css", ":/page/page.css", "text/css; charset=utf-8"},
      {"/dygraph.min.js", dygraphs.filePath("dygraph.min.js"), "text/javascript; charset=utf-8"},
      {"/dygraph.min.css", dygraphs.filePath("dygraph.min.css"), "text/css; charset=utf-8"},
  };
  keepPageResources();
  QHash<QString, app::watch::PageAsset> assets;
  for (const Source& source : sources) {
    QFile file(source.file);
    if (!file.open(QIODevice::ReadOnly))
      return platform::Result<QHash<QString, app::watch::PageAsset>>::failure(
          QStringLiteral("The page's file %1 cannot be read: %2 (the charting library comes "
                         "with Debian's libjs-dygraphs)")
              .arg(source.file, file.errorString()));
    assets.insert(source.path, {source.contentType, file.readAll()});
  }
  return assets;
}

}  // namespace tessarin::qt
