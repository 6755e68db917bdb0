#include <QApplication>
#include <QStandardPaths>

#include "app/SettingsFolder.h"
#include "platform/qt/ConsoleApp.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  QApplication::setApplicationName("tessarin-console");
  const QString folder =
      chooseSettingsFolder(QApplication::applicationDirPath(),
                           QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
  ConsoleApp app(folder);
  app.window().show();
  return QApplication::exec();
}
