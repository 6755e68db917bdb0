#include <QApplication>
#include <QStandardPaths>

#include "app/SettingsFolder.h"
#include "platform/qt/ConsoleApp.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  QApplication::setApplicationName("tessarin-console");
  const QString folder = tessarin::app::chooseSettingsFolder(
      QApplication::applicationDirPath(),
      QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
  tessarin::qt::ConsoleApp app(folder);
  app.window().show();
  return QApplication::exec();
}
