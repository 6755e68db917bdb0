#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>

#include "link/PortMap.h"
#include "qt/QtSerialPort.h"
#include "qt/SerialPermission.h"

namespace tessarin {
namespace {

// A stand-in for a device node: an ordinary file with the given mode, owned by our own group.
QString makeNode(const QTemporaryDir& dir, const QString& name, mode_t mode) {
  const QString path = dir.filePath(name);
  QFile(path).open(QIODevice::WriteOnly);
  EXPECT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
  return path;
}

TEST(SerialPermissionTest, RefusalNamesTheGroupThatMayReadAndWriteTheDevice) {
  QTemporaryDir dir;
  const QString ownGroup = QString::fromLocal8Bit(::getgrgid(::getegid())->gr_name);
  const struct {
    QString device;
    QString group;
  } cases[] = {
      {makeNode(dir, "ttyUSB0", 0660), ownGroup},
      // A group that may not use the node does not help; Debian's serial group does.
      {makeNode(dir, "ttyUSB1", 0600), "dialout"},
      {dir.filePath("ttyUSB9"), "dialout"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.device.toStdString());
    EXPECT_TRUE(qt::permissionRefusal(c.device).contains(" group " + c.group + ","))
        << qt::permissionRefusal(c.device).toStdString();
  }
}

TEST(SerialPermissionTest, PortWithoutPermissionSaysWhichGroupGivesAccess) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may open any device";
  QTemporaryDir dir;
  const QString device = makeNode(dir, "ttyUSB0", 0);
  qt::QtSerialPort port(link::PortMap::Parse("Com1=" + device));
  const platform::Result<> opened = port.open(1);
  ASSERT_FALSE(opened);
  EXPECT_TRUE(opened.reason().contains("add the operator to the group"))
      << opened.reason().toStdString();
}

}  // namespace
}  // namespace tessarin
