#include "app/SettingsFolder.h"

#include <QDir>
#include <QFileInfo>

namespace tessarin::app {

QString chooseSettingsFolder(const QString& programFolder, const QString& userConfigFolder) {
  if (QFileInfo(programFolder).isWritable()) return programFolder;
  QDir().mkpath(userConfigFolder);
  return userConfigFolder;
}

}  // namespace tessarin::app
