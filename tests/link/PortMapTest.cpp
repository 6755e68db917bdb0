#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "link/PortMap.h"

namespace tessarin::link {
namespace {

TEST(PortMapTest, ComPortsDefaultToTheOnBoardSerialDevices) {
  const PortMap map;
  EXPECT_EQ(map.deviceFor(1), QStringLiteral("/dev/ttyS0"));
  EXPECT_EQ(map.deviceFor(4), QStringLiteral("/dev/ttyS3"));
}

TEST(PortMapTest, OverrideLinesReplaceOnlyTheirPort) {
  const PortMap map =
      PortMap::Parse(QStringLiteral("# adapters on the bench PC\n"
                                    "\n"
                                    "Com1=/dev/ttyUSB0\n"
                                    "  com3 =  /dev/serial/by-id/usb-FTDI port  \r\n"
                                    "COM2:/dev/ttyUSB9\n"
                                    "Com=/dev/ttyUSB8\n"
                                    "Com4=\n"
                                    "Port2=/dev/ttyUSB7\n"));
  EXPECT_EQ(map.deviceFor(1), QStringLiteral("/dev/ttyUSB0"));
  EXPECT_EQ(map.deviceFor(2), QStringLiteral("/dev/ttyS1"));
  EXPECT_EQ(map.deviceFor(3), QStringLiteral("/dev/serial/by-id/usb-FTDI port"));
  EXPECT_EQ(map.deviceFor(4), QStringLiteral("/dev/ttyS3"));
}

TEST(PortMapTest, LoadReadsSerialportsTxtOfTheSettingsFolder) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  EXPECT_EQ(PortMap::Load(folder.path()).deviceFor(2), QStringLiteral("/dev/ttyS1"));

  QFile file(QDir(folder.path()).filePath(QStringLiteral("serialports.txt")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("Com2=/dev/ttyACM0\n");
  file.close();
  EXPECT_EQ(PortMap::Load(folder.path()).deviceFor(2), QStringLiteral("/dev/ttyACM0"));
}

}  // namespace
}  // namespace tessarin::link
