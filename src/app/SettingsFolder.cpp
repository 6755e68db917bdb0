#include "app/SettingsFolder.h"

#include <QDir>
#include <QFileInfo>

QString ChooseSettingsFolder(const QString& programFolder, const QString& userConfigFolder) {
  if (QFileInfo(programFolder).isWritable()) return programFolder;
  QDir().mkpath(userConfigFolder);
  return userConfigFolder;
}
