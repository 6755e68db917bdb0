#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "qt/QtSerialPort.h"

namespace tessarin {
namespace {

// The instrument's end of a pseudo-terminal; the port under test opens the other end as Com 1.
class PtyMaster {
 public:
  PtyMaster() {
    fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ >= 0 && grantpt(fd_) == 0 && unlockpt(fd_) == 0) slavePath_ = ptsname(fd_);
  }
  ~PtyMaster() { close(); }
  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  const std::string& slavePath() const { return slavePath_; }
  void send(const std::string& text) const {
    ASSERT_EQ(::write(fd_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  std::string takeReceived() const {
    std::string text;
    char buffer[256];
    ssize_t count;
    while ((count = ::read(fd_, buffer, sizeof buffer)) > 0) text.append(buffer, count);
    return text;
  }

 private:
  int fd_ = -1;
  std::string slavePath_;
};

void runEventsUntil(const std::function<bool()>& done, int timeoutMs = 2000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < timeoutMs) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void runEventLoopFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

double processCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class QtSerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(master.slavePath().empty());
    port.onReceived = [this](char ch) { received.push_back(ch); };
    port.onFault = [this](const QString& message) {
      ++faults;
      faultMessage = message;
    };
  }
  void openCom1() {
    const platform::Result<> opened = port.open(1);
    ASSERT_TRUE(opened) << opened.reason().toStdString();
  }

  PtyMaster master;
  qt::QtSerialPort port{
      link::PortMap::Parse(QStringLiteral("Com1=%1").arg(master.slavePath().c_str()))};
  std::string received;
  int faults = 0;
  QString faultMessage;
};

TEST_F(QtSerialPortTest, CommandBytesReachTheLineExactlyAsWritten) {
  openCom1();
  ASSERT_TRUE(port.write("MK0\r\n"));
  ASSERT_TRUE(port.write("CB9\r\n"));
  std::string onLine;
  runEventsUntil([&] {
    onLine += master.takeReceived();
    return onLine.size() >= 10;
  });
  EXPECT_EQ(onLine, "MK0\r\nCB9\r\n");
}

TEST_F(QtSerialPortTest, CommandWrittenJustBeforeTheProgramEndsReachesTheLine) {
  {
    qt::QtSerialPort quitting(
        link::PortMap::Parse(QStringLiteral("Com2=%1").arg(master.slavePath().c_str())));
    const platform::Result<> opened = quitting.open(2);
    ASSERT_TRUE(opened) << opened.reason().toStdString();
    ASSERT_TRUE(quitting.write("MK0\r\n"));
  }
  EXPECT_EQ(master.takeReceived(), "MK0\r\n");
}

TEST_F(QtSerialPortTest, ChunksAreHandedOverOneCharacterAtATimeInOrder) {
  openCom1();
  const std::string text = "0000012C\r\nCL1\r\nC";
  for (std::size_t at = 0; at < text.size(); at += 5) {
    master.send(text.substr(at, 5));
    QCoreApplication::processEvents();
  }
  runEventsUntil([&] { return received.size() >= text.size(); });
  EXPECT_EQ(received, text);
}

TEST_F(QtSerialPortTest, MissingDeviceIsNamedInTheErrorAndLeavesThePortClosed) {
  qt::QtSerialPort missing(link::PortMap::Parse(QStringLiteral("Com3=/dev/tessarin-no-such-port")));
  const platform::Result<> opened = missing.open(3);
  EXPECT_FALSE(opened);
  EXPECT_EQ(opened.reason(), QStringLiteral("Com 3 (/dev/tessarin-no-such-port): no such device"));
  EXPECT_FALSE(missing.isOpen());
  EXPECT_FALSE(missing.write("MK0\r\n"));
}

TEST_F(QtSerialPortTest, VanishedDeviceClosesThePortAndFaultsOnceWithoutSpinning) {
  openCom1();
  master.close();
  const double cpuBefore = processCpuSeconds();
  runEventLoopFor(500);
  const double cpuUsed = processCpuSeconds() - cpuBefore;

  EXPECT_EQ(faults, 1);
  EXPECT_TRUE(
      faultMessage.startsWith(QStringLiteral("Com 1 (%1): ").arg(master.slavePath().c_str())))
      << faultMessage.toStdString();
  EXPECT_FALSE(port.isOpen());
  EXPECT_FALSE(port.write("MK0\r\n"));
  EXPECT_LT(cpuUsed, 0.2);
}

}  // namespace
}  // namespace tessarin
