#pragma once

#include <QString>

namespace tessarin::app {

// The folder of globalsetting.txt, setting3.txt and serialports.txt: the program's own folder,
// or, where that is not writable (a system-wide install), the operator's configuration folder,
// which is created when missing.
QString chooseSettingsFolder(const QString& programFolder, const QString& userConfigFolder);

}  // namespace tessarin::app
