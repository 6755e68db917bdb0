#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/SettingsFolder.h"

TEST(SettingsFolderTest, SettingsLiveInAWritableBuildFolderElseInTheUserFolder) {
  QTemporaryDir dir;
  const QString program = dir.filePath("bin");
  const QString installed = dir.filePath("usr/bin");
  const QString user = dir.filePath("config/tessarin-console");
  QDir().mkpath(program);
  QDir().mkpath(installed);
  EXPECT_EQ(tessarin::app::chooseSettingsFolder(program, user, installed), program);

  // A program folder that cannot hold files (here: it does not exist at all).
  EXPECT_EQ(tessarin::app::chooseSettingsFolder(dir.filePath("missing"), user, installed), user);
  EXPECT_TRUE(QDir(user).exists());

  // The installed program's folder, even where it is writable (a console started with sudo).
  EXPECT_EQ(tessarin::app::chooseSettingsFolder(installed + "/", user, installed), user);
}
