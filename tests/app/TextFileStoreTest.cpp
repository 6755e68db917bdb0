#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/TextFileStore.h"

namespace {

class TextFileStoreTest : public ::testing::Test {
 protected:
  QString path(const QString& name) const { return dir.filePath(name); }
  QByteArray bytesOf(const QString& name) const {
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  QTemporaryDir dir;
  QString error;
};

TEST_F(TextFileStoreTest, MissingFileGivesNothingWithoutAnError) {
  error = "left over";
  EXPECT_EQ(TextFileStore::LoadFile(path("globalsetting.txt"), error), std::nullopt);
  EXPECT_TRUE(error.isEmpty());
}

TEST_F(TextFileStoreTest, FolderInPlaceOfTheFileIsReportedWithItsPath) {
  ASSERT_TRUE(QDir(dir.path()).mkdir("globalsetting.txt"));
  EXPECT_EQ(TextFileStore::LoadFile(path("globalsetting.txt"), error), std::nullopt);
  EXPECT_TRUE(error.startsWith(path("globalsetting.txt") + ": ")) << error.toStdString();
  EXPECT_GT(error.size(), path("globalsetting.txt").size() + 2);

  error.clear();
  EXPECT_FALSE(TextFileStore::SaveFile(path("globalsetting.txt"), "121", error));
  EXPECT_TRUE(error.startsWith(path("globalsetting.txt") + ": ")) << error.toStdString();
}

TEST_F(TextFileStoreTest, SavingIntoAMissingFolderFailsWithTheReason) {
  EXPECT_FALSE(TextFileStore::SaveFile(path("no/such/folder/setting3.txt"), "1\t", error));
  EXPECT_TRUE(error.contains("setting3.txt")) << error.toStdString();
}

TEST_F(TextFileStoreTest, SavedFileIsARichTextDocumentThatLoadsBackWhole) {
  const QString record = "1\t1e4\t-1e-11\t1e-11\t1\t1e5\t1e-15\t1e-11\t";
  ASSERT_TRUE(TextFileStore::SaveFile(path("setting3.txt"), record, error)) << error.toStdString();
  EXPECT_TRUE(bytesOf("setting3.txt").startsWith("{\\rtf1"));
  EXPECT_EQ(TextFileStore::LoadFile(path("setting3.txt"), error), record);

  // A shorter text replaces the file whole: nothing of the longer one is left behind.
  ASSERT_TRUE(TextFileStore::SaveFile(path("setting3.txt"), "7", error));
  EXPECT_EQ(TextFileStore::LoadFile(path("setting3.txt"), error), "7");
  EXPECT_TRUE(error.isEmpty());
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"setting3.txt"});
}

}  // namespace
