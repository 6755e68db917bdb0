#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/SettingsFolder.h"

TEST(SettingsFolderTest, SettingsLiveInTheProgramFolderWhenWritableElseInTheUserFolder) {
  QTemporaryDir dir;
  const QString program = dir.filePath("bin");
  const QString user = dir.filePath("config/tessarin-console");
  QDir().mkpath(program);
  EXPECT_EQ(tessarin::app::chooseSettingsFolder(program, user), program);

  // A program folder that cannot hold files (here: it does not exist at all).
  EXPECT_EQ(tessarin::app::chooseSettingsFolder(dir.filePath("missing"), user), user);
  EXPECT_TRUE(QDir(user).exists());
}
