#pragma once

#include <QString>

namespace tessarin::app {

// The folder of globalsetting.txt, setting3.txt and serialports.txt: the program's own folder,
// or the operator's configuration folder (created when missing) where the program's folder is
// not writable or is the system's program folder `installedFolder` (so that a console started
// with sudo does not leave its settings among the system's programs).
QString chooseSettingsFolder(const QString& programFolder, const QString& userConfigFolder,
                             const QString& installedFolder);

}  // namespace tessarin::app
