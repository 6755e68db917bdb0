#include "app/SettingsFolder.h"

#include <QDir>
#include <QFileInfo>

namespace tessarin::app {

QString chooseSettingsFolder(const QString& programFolder, const QString& userConfigFolder,
                             const QString& installedFolder) {
  const bool installed =
      QDir(programFolder).canonicalPath() == QDir(installedFolder).canonicalPath();
  if (!installed && QFileInfo(programFolder).isWritable()) return programFolder;
  QDir().mkpath(userConfigFolder);
  return userConfigFolder;
}

}  // namespace tessarin::app
