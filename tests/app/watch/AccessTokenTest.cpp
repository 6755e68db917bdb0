#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/watch/AccessToken.h"

namespace tessarin::app::watch {
namespace {

QFileDevice::Permissions others() {
  return QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
         QFileDevice::WriteOther;
}

TEST(AccessTokenTest, IsMadeOnceKeptForTheOperatorAloneAndMadeAnewWhenAsked) {
  QTemporaryDir folder;
  const QString path = QDir(folder.path()).filePath(kTokenFile);
  const platform::Result<QString> first = loadOrMakeToken(folder.path(), false);
  ASSERT_TRUE(first) << first.reason().toStdString();
  EXPECT_EQ(first.value().size(), 64);
  EXPECT_EQ(QFile(path).permissions() & others(), 0);
  EXPECT_EQ(loadOrMakeToken(folder.path(), false).value(), first.value());

  const QString renewed = loadOrMakeToken(folder.path(), true).value();
  EXPECT_NE(renewed, first.value());
  EXPECT_EQ(loadOrMakeToken(folder.path(), false).value(), renewed);

  // A token that others could read is no secret any more.
  QFile(path).setPermissions(QFile(path).permissions() | QFileDevice::ReadOther);
  const QString replaced = loadOrMakeToken(folder.path(), false).value();
  EXPECT_NE(replaced, renewed);
  EXPECT_EQ(QFile(path).permissions() & others(), 0);

  EXPECT_FALSE(loadOrMakeToken(folder.filePath("missing/folder"), false));
}

TEST(AccessTokenTest, ARequestShowsTheTokenInItsHeaderOrItsQueryAndNothingLess) {
  const QByteArray token(64, 'f');
  struct Case {
    QByteArray target, authorization;
    bool carries;
  };
  const Case cases[] = {
      {"/api/status", "Bearer " + token, true},
      {"/api/status", "Bearer  " + token + " ", true},
      {"/api/status?token=" + token, "", true},
      {"/api/data?max=5&token=" + token, "", true},
      {"/api/status", "", false},
      {"/api/status", "Basic " + token, false},
      {"/api/status", "Bearer " + token.chopped(1), false},
      {"/api/status", "Bearer " + token.chopped(1) + 'e', false},
      {"/api/status?token=" + token + 'f', "", false},
      {"/api/status?token=", "", false},
      {"/api/status?x=" + token, "", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(carriesToken(c.target, c.authorization, token), c.carries)
        << c.target.toStdString() << " / " << c.authorization.toStdString();
  EXPECT_FALSE(sameSecret("", "")) << "an empty token never opens anything";
}

}  // namespace
}  // namespace tessarin::app::watch
