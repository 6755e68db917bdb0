#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/TextFileStore.h"

namespace tessarin::app {
namespace {

class TextFileStoreTest : public ::testing::Test {
 protected:
  QString path(const QString& name) const { return dir.filePath(name); }
  QByteArray bytesOf(const QString& name) const {
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  // The text loaded from `name`, which must load without a failure.
  std::optional<QString> loaded(const QString& name) const {
    const platform::Result<std::optional<QString>> text = loadTextFile(path(name));
    EXPECT_TRUE(text) << text.reason().toStdString();
    return text ? text.value() : std::nullopt;
  }
  QTemporaryDir dir;
};

TEST_F(TextFileStoreTest, MissingFileLoadsAsNothingWithoutAFailure) {
  EXPECT_EQ(loaded("globalsetting.txt"), std::nullopt);
}

TEST_F(TextFileStoreTest, FolderInPlaceOfTheFileFailsWithItsPath) {
  ASSERT_TRUE(QDir(dir.path()).mkdir("globalsetting.txt"));
  const QString prefix = path("globalsetting.txt") + ": ";
  const platform::Result<std::optional<QString>> text = loadTextFile(path("globalsetting.txt"));
  ASSERT_FALSE(text);
  EXPECT_TRUE(text.reason().startsWith(prefix)) << text.reason().toStdString();
  EXPECT_GT(text.reason().size(), prefix.size());

  const platform::Result<> saved = saveTextFile(path("globalsetting.txt"), "121");
  ASSERT_FALSE(saved);
  EXPECT_TRUE(saved.reason().startsWith(prefix)) << saved.reason().toStdString();
}

TEST_F(TextFileStoreTest, SavingIntoAMissingFolderFailsWithTheReason) {
  const platform::Result<> saved = saveTextFile(path("no/such/folder/setting3.txt"), "1\t");
  ASSERT_FALSE(saved);
  EXPECT_TRUE(saved.reason().contains("setting3.txt")) << saved.reason().toStdString();
}

TEST_F(TextFileStoreTest, SavedFileIsARichTextDocumentThatLoadsBackWhole) {
  const QString record = "1\t1e4\t-1e-11\t1e-11\t1\t1e5\t1e-15\t1e-11\t";
  ASSERT_TRUE(saveTextFile(path("setting3.txt"), record));
  EXPECT_TRUE(bytesOf("setting3.txt").startsWith("{\\rtf1"));
  EXPECT_EQ(loaded("setting3.txt"), record);

  // A shorter text replaces the file whole: nothing of the longer one is left behind.
  ASSERT_TRUE(saveTextFile(path("setting3.txt"), "7"));
  EXPECT_EQ(loaded("setting3.txt"), "7");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"setting3.txt"});
}

}  // namespace
}  // namespace tessarin::app
