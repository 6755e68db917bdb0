#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <thread>

#include "qt/watch/QtCommandRunner.h"

namespace tessarin::qt {
namespace {

using namespace std::chrono_literals;
using platform::Result;

void runEventsFor(
    int ms, const std::function<bool()>& until = [] { return false; }) {
  QElapsedTimer clock;
  clock.start();
  while (!until() && clock.elapsed() < ms) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(1ms);
  }
}

QByteArray contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(QtCommandRunnerTest, ArgumentsArriveAsTheyAreAndEachEndIsReportedOnce) {
  QTemporaryDir dir;
  const QString recorder = dir.filePath("record");  // writes its arguments, each ended by NUL
  QFile script(recorder);
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write("#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$0.args\"\n");
  script.close();
  ASSERT_TRUE(script.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
  const QStringList tricky{"Port lost", "Com 1: \"gone\" it's $(touch x); `id` | $HOME *"};
  const QString missing = "/nonexistent/tessarin-alert";
  const struct {
    QString program;
    QStringList arguments;
    std::chrono::milliseconds limit;
    QString reason;  // empty: success
  } cases[] = {
      {recorder, tricky, 5s, ""},
      {"/bin/sh", {"-c", "exit 3"}, 5s, "/bin/sh exited with status 3"},
      {"/bin/sh", {"-c", "kill -SEGV $$"}, 5s, "/bin/sh crashed"},
      {missing, {}, 5s, missing + " did not start: No such file or directory"},
      {"", {}, 5s, " did not start: No program defined"},  // refused inside QProcess::start
      {"sleep", {"5"}, 200ms, "sleep ran longer than 0.2 s and was ended"},
      // Two megabytes of chatter, then a read of the input, which ends at once.
      {"/bin/sh", {"-c", "head -c 1000000 /dev/zero; head -c 1000000 /dev/zero >&2; cat"}, 5s, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE((c.program + ' ' + c.arguments.join(' ')).toStdString());
    QtCommandRunner runner;
    int calls = 0;
    bool inStart = true, calledInStart = false;
    QString reason = "(not called)";
    runner.start(c.program, c.arguments, c.limit, [&](Result<> outcome) {
      ++calls;
      calledInStart = inStart;
      reason = outcome ? QString() : outcome.reason();
    });
    inStart = false;
    runEventsFor(3000, [&] { return calls > 0; });
    runEventsFor(100);  // time for a second call
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(calledInStart);
    EXPECT_EQ(reason.toStdString(), c.reason.toStdString());
  }
  EXPECT_EQ(contents(recorder + ".args"), (tricky.join(QChar(0)) + QChar(0)).toUtf8());
  EXPECT_FALSE(QFile::exists(dir.filePath("x")));
}

TEST(QtCommandRunnerTest, RunnerGoingWhileItsProgramRunsEndsThatProgram) {
  QTemporaryDir dir;
  const QString pidFile = dir.filePath("pid");
  int calls = 0;
  QElapsedTimer clock;
  {
    QtCommandRunner runner;
    runner.start("/bin/sh", {"-c", "echo $$ > '" + pidFile + "'; exec sleep 5"}, 30s,
                 [&](Result<>) { ++calls; });
    runEventsFor(3000, [&] { return contents(pidFile).endsWith('\n'); });
    clock.start();
  }
  EXPECT_LT(clock.elapsed(), 2000);
  runEventsFor(100);
  EXPECT_EQ(calls, 0);
  const pid_t pid = contents(pidFile).trimmed().toInt();
  ASSERT_GT(pid, 0);
  EXPECT_EQ(kill(pid, 0), -1) << "still there, or a zombie";
  EXPECT_EQ(errno, ESRCH);
}

}  // namespace
}  // namespace tessarin::qt
