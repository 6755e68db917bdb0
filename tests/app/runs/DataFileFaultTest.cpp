#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/Closing.h"
#include "app/runs/RunFixture.h"

namespace tessarin::test {
namespace {

const QByteArray kHeaderEnd = "Data :   Frequency Data\r\n\r\n";

// A run whose data file meets a full disk or a vanished folder. Readings grow by one more count
// each time, so every sample line differs from the one before: a lost, doubled or reordered line
// shows as a sample count or order that does not fit.
class DataFileFaultTest : public RunFixture {
 protected:
  // Sends `n` more readings.
  void feedReadings(int n) {
    for (int i = 0; i < n; ++i) {
      counts += 12 + readings++;
      serial.receive(QString("%1\r\n").arg(counts, 8, 16, QChar('0')).toUpper().toStdString());
    }
  }
  int samplesFed() const { return readings - 1; }

  // The numbers of the sample lines after the header; a line that is not a whole sample line
  // fails the test.
  static std::vector<double> samplesIn(const QByteArray& bytes) {
    std::vector<double> values;
    const qsizetype header = bytes.indexOf(kHeaderEnd);
    const QByteArray body = header < 0 ? bytes : bytes.mid(header + kHeaderEnd.size());
    if (body.isEmpty()) return values;
    EXPECT_TRUE(body.endsWith(" \r\n")) << "torn last line";
    for (const QByteArray& line : body.split('\n')) {
      if (line.isEmpty()) continue;
      bool ok = false;
      values.push_back(line.trimmed().toDouble(&ok));
      EXPECT_TRUE(ok && line.endsWith(" \r") && (line[0] == ' ' || line[0] == '-'))
          << "not a sample line: " << line.toStdString();
    }
    return values;
  }
  // Every sample fed, once and in order: the values fall with each reading.
  void expectEverySampleInOrder(const std::vector<double>& values) {
    EXPECT_EQ(static_cast<int>(values.size()), samplesFed());
    for (std::size_t i = 1; i < values.size(); ++i)
      ASSERT_LT(values[i], values[i - 1]) << "sample " << i;
  }
  QString waitingStatus(const QString& path, const QString& reason, int lines) const {
    return "Data file not written: " + path + ": " + reason +
           QString("; %1 lines waiting").arg(lines);
  }

  quint32 counts = 0;
  int readings = 0;
  QTemporaryDir elsewhere;
};

// The console's folder, data file included, on a 64 KiB tmpfs that a filler file fills up.
class FullDiskTest : public DataFileFaultTest {
 protected:
  void SetUp() override {
    if (geteuid() != 0 ||
        ::mount("tmpfs", QFile::encodeName(folder()).constData(), "tmpfs", 0, "size=64k") != 0)
      GTEST_SKIP() << "mounting a small tmpfs needs root";
    mounted = true;
  }
  void TearDown() override {
    if (mounted) ::umount2(QFile::encodeName(folder()).constData(), MNT_DETACH);
  }
  void fillDisk() {
    QFile filler(pathOf("filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(512, 'x');
    while (filler.write(block) > 0) {
    }
  }
  // Feeds readings until lines wait for the full disk.
  int feedUntilLinesWait(app::Console& c) {
    while (!c.status().startsWith("Data file not written") && readings < 2000) feedReadings(1);
    return samplesFed() - static_cast<int>(samplesIn(dataFile()).size());
  }
  bool mounted = false;
};

TEST_F(FullDiskTest, LinesWaitWhileTheDiskIsFullAndFollowInOrderOnceSpaceIsFree) {
  app::Console& c = initializedConsole();
  c.menus().startStop.click();
  feedReadings(3);
  fillDisk();
  feedUntilLinesWait(c);
  feedReadings(20);

  // The file holds whole lines only, and the status line counts the others.
  const int waiting = samplesFed() - static_cast<int>(samplesIn(dataFile()).size());
  EXPECT_GT(waiting, 20);
  EXPECT_EQ(c.status(), waitingStatus(pathOf("osc1.DAT"), "No space left on device", waiting));

  ASSERT_TRUE(QFile::remove(pathOf("filler")));
  feedReadings(2);
  EXPECT_EQ(c.status(), "Running...");
  EXPECT_EQ(dataFile().count("DUT Frequency :"), 1);
  expectEverySampleInOrder(samplesIn(dataFile()));
  QStringList events;
  for (const app::watch::RunEvent& e : c.events().events()) events << e.name;
  EXPECT_EQ(events, QStringList({"started", "file-not-written", "file-written-again"}))
      << "told once each, not once for every waiting line";
}

TEST_F(FullDiskTest, LinesWaitWhileTheFileSystemIsReadOnlyAndFollowInOrderOnceWritable) {
  app::Console& c = initializedConsole();
  c.menus().startStop.click();
  feedReadings(3);
  const QByteArray mountPoint = QFile::encodeName(folder());
  ASSERT_EQ(::mount("tmpfs", mountPoint.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
  feedReadings(5);
  EXPECT_EQ(c.status(), waitingStatus(pathOf("osc1.DAT"), "Read-only file system", 5));

  ASSERT_EQ(::mount("tmpfs", mountPoint.constData(), "tmpfs", MS_REMOUNT, nullptr), 0);
  feedReadings(1);
  EXPECT_EQ(c.status(), "Running...");
  expectEverySampleInOrder(samplesIn(dataFile()));
}

TEST_F(FullDiskTest, LinesStillWaitingWhenTheRunEndsAreOfferedForAnotherFile) {
  enum class End { Stop, Quit };
  const struct {
    const char* name;
    End end;
    bool chooseOther;
  } cases[] = {
      {"stop, another file", End::Stop, true},
      {"stop, cancelled", End::Stop, false},
      {"quit, another file", End::Quit, true},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.name);
    QFile::remove(pathOf("filler"));
    QFile::remove(pathOf("osc1.DAT"));
    dialogs = FakeDialogs();
    serial.opened = false;
    readings = 0;
    counts = 0;
    application.quitCalls = 0;
    app::Console& c = initializedConsole();
    c.menus().startStop.click();
    fillDisk();
    const int waiting = feedUntilLinesWait(c);
    const QString other = elsewhere.filePath(QString(t.name) + ".DAT");
    if (t.chooseOther) dialogs.saveAnswers.push_back(other);
    std::size_t commandsWhileOpen = 0;
    dialogs.whileOpen = [&] { commandsWhileOpen = serial.commands().size(); };

    (t.end == End::Stop ? c.menus().startStop : c.menus().quit).click();

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, "Tessarin / RS");
    EXPECT_EQ(dialogs.messages[0].icon, platform::Dialogs::Icon::Warning);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(
        QString("%1 lines of the run could not be written to %2")
            .arg(waiting)
            .arg(pathOf("osc1.DAT"))))
        << dialogs.messages[0].text.toStdString();
    ASSERT_EQ(dialogs.saveRequests.size(), 2u);  // the data file's, then the other
    EXPECT_EQ(dialogs.saveRequests[1].title, "Save .DAT file as");
    EXPECT_EQ(dialogs.saveRequests[1].filter, "*.DAT");
    EXPECT_EQ(dialogs.saveRequests[1].defaultExt, "DAT");
    if (t.chooseOther) {
      const QByteArray header = dataFile().left(dataFile().indexOf(kHeaderEnd) + kHeaderEnd.size());
      QFile file(other);
      ASSERT_TRUE(file.open(QIODevice::ReadOnly));
      const QByteArray written = file.readAll();
      EXPECT_TRUE(written.startsWith(header));
      std::vector<double> values = samplesIn(dataFile());
      const std::vector<double> rest = samplesIn(written);
      values.insert(values.end(), rest.begin(), rest.end());
      expectEverySampleInOrder(values);
    } else {
      EXPECT_FALSE(QFile::exists(other));
      EXPECT_EQ(c.status(), QString("%1 waiting lines dropped").arg(waiting));
    }
    if (t.end == End::Quit) {
      EXPECT_EQ(serial.commands().back(), "MK0");
      EXPECT_EQ(commandsWhileOpen, serial.commands().size() - 1) << "MK0 before the answer";
      EXPECT_EQ(application.quitCalls, 1);
    }
  }
}

// A data file that is removed or cut short mid-run is not started afresh: that file would lack
// the run's beginning. Its lines wait, and at Stop they go to another file behind the header.
TEST_F(DataFileFaultTest, LinesOfAFileRemovedOrCutShortMidRunWaitForAnotherFile) {
  const struct {
    const char* name;
    std::function<void(const QDir& folder)> fault;
    const char* reason;
  } cases[] = {
      {"file deleted", [](const QDir& f) { QFile::remove(f.filePath("data/osc1.DAT")); },
       "No such file or directory"},
      {"folder removed and made again",
       [](const QDir& f) {
         QDir(f.filePath("data")).removeRecursively();
         f.mkdir("data");
       },
       "No such file or directory"},
      {"file cut short", [](const QDir& f) { QFile(f.filePath("data/osc1.DAT")).resize(10); },
       "the file was cut short"},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.name);
    console.reset();
    serial = FakeSerialPort();
    dialogs = FakeDialogs();
    readings = 0;
    counts = 0;
    QDir(pathOf("data")).removeRecursively();
    ASSERT_TRUE(QDir(folder()).mkdir("data"));
    app::Console& c = initializedConsole();
    const QString path = pathOf("data/osc1.DAT");
    dialogs.saveAnswers.push_back(path);
    c.menus().saveFileAs.click();
    c.menus().startStop.click();
    feedReadings(3);
    t.fault(QDir(folder()));
    feedReadings(4);
    EXPECT_EQ(c.status(), waitingStatus(path, t.reason, 4));
    EXPECT_LE(QFileInfo(path).size(), 10);

    const QString other = elsewhere.filePath(QString(t.name) + ".DAT");
    dialogs.saveAnswers.push_back(other);
    c.menus().startStop.click();
    QFile file(other);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_EQ(written.count("DUT Frequency :"), 1);
    const std::vector<double> values = samplesIn(written);
    EXPECT_EQ(values.size(), 4u);
    EXPECT_TRUE(std::is_sorted(values.rbegin(), values.rend()));
  }
}

TEST_F(DataFileFaultTest, AWaitingHeaderGoesToTheOtherFileOnceWhetherStopOrThePortEndsTheRun) {
  for (const bool portFails : {false, true}) {
    console.reset();
    serial = FakeSerialPort();
    dialogs = FakeDialogs();
    app::Console& c = initializedConsole();
    QFile::remove(elsewhere.filePath("other.DAT"));
    QDir(folder()).mkdir("osc1.DAT");  // the data file cannot be written at all
    c.menus().startStop.click();
    readings = 0;
    counts = 0;
    feedReadings(3);
    EXPECT_EQ(c.status(), waitingStatus(pathOf("osc1.DAT"), "Is a directory", 3));
    const QString other = elsewhere.filePath("other.DAT");
    dialogs.saveAnswers.push_back(other);
    if (portFails)
      serial.fail("device removed");
    else
      c.menus().startStop.click();

    QFile file(other);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << portFails;
    const QByteArray written = file.readAll();
    EXPECT_TRUE(written.startsWith("\r\n\r\n\r\n\r\n\r\n\r\n" + pathOf("osc1.DAT").toUtf8()));
    EXPECT_EQ(written.count("DUT Frequency :"), 1);
    expectEverySampleInOrder(samplesIn(written));
    EXPECT_EQ(c.status(), portFails ? QString("Serial port failed, run stopped: device removed")
                                    : "3 waiting lines written to " + other);
  }
}

}  // namespace
}  // namespace tessarin::test
