#include <gtest/gtest.h>

#include <QFile>
#include <chrono>

#include "app/RichText.h"
#include "app/runs/RunFixture.h"

namespace tessarin::test {
namespace {

using namespace std::chrono_literals;

// A run with "&Resume after Port Loss" checked, on at 100 s with 3 samples taken.
class ResumeTest : public RunFixture {
 protected:
  app::Console& runningConsole(bool filtered = false) {
    app::Console& c = initializedConsole(filtered);
    if (filtered) awaitLock();
    dialogs.questions.clear();  // the operator answered the first lock's question
    if (!c.menus().resumeAfterPortLoss.checked()) c.menus().resumeAfterPortLoss.click();
    clock.now = 100s;
    c.menus().startStop.click();
    instrument->run(4);
    return c;
  }
  // The filter locks at the next poll, and the tick after says so.
  void awaitLock() {
    instrument->lockReplies = {"CL1"};
    timer.tick();
    serial.deliverPending();
    timer.tick();
  }
  void tickAfter(std::chrono::milliseconds wait) {
    clock.now += wait;
    watchTimer.tick();
  }
  const QString lost = "Port lost at sample 3; reconnecting";
};

TEST_F(ResumeTest, ALostPortIsReopenedInitializedAgainAndANewRunAppendsToTheSameFile) {
  app::Console& c = runningConsole();
  serial.fail("Com 2 (/dev/ttyS1): the device has gone (unplugged or switched off)");
  EXPECT_EQ(c.status(), lost + "...");
  EXPECT_EQ(c.menus().startStop.caption(), "S&top");
  EXPECT_FALSE(c.menus().initialization.enabled());
  EXPECT_FALSE(c.menus().tau.enabled());

  serial.openError = "no such device";
  tickAfter(2s);
  EXPECT_EQ(c.status(), lost + " (attempt 1)...");
  tickAfter(1s);
  EXPECT_EQ(serial.openCount, 2) << "the next attempt comes 2 s after the last";
  tickAfter(1s);
  EXPECT_EQ(c.status(), lost + " (attempt 2)...");

  serial.openError.clear();
  serial.writes.clear();
  tickAfter(2s);
  instrument->run();
  EXPECT_EQ(c.state(), app::RunState::Ready);
  tickAfter(1s);
  instrument->run(10);
  const std::vector<std::string> sent = serial.commands();
  ASSERT_GT(sent.size(), initializationCommands.size());
  EXPECT_EQ(std::vector<std::string>(sent.begin(), sent.begin() + initializationCommands.size()),
            initializationCommands);
  EXPECT_EQ(c.state(), app::RunState::Running);
  EXPECT_EQ(c.status(), "Running... (resumed 1 time, last loss 07/12/2026 09:14:02)");
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_TRUE(dialogs.questions.empty());
  EXPECT_EQ(dataFile().count("DUT Frequency :"), 2);
  QStringList events;
  for (const app::watch::RunEvent& e : c.events().events()) events << e.name;
  EXPECT_EQ(events, QStringList({"started", "port-lost", "resumed"}));
}

TEST_F(ResumeTest, StopWhileReconnectingLeavesTheConsoleIdleWithInitializationOffered) {
  app::Console& c = runningConsole();
  serial.fail("gone");
  serial.writes.clear();
  c.menus().startStop.click();
  EXPECT_EQ(c.status(), "Stopped; the lost run was not resumed");
  EXPECT_EQ(c.menus().startStop.caption(), "S&tart");
  EXPECT_TRUE(c.menus().initialization.enabled());
  EXPECT_TRUE(c.menus().tau.enabled());
  EXPECT_FALSE(watchTimer.enabledFlag);
  tickAfter(10s);
  EXPECT_EQ(serial.openCount, 1) << "nothing reopens the port";
  EXPECT_TRUE(serial.writes.empty());
}

// A repeated initialization that fails, or that the instrument does not answer, is tried again
// 30 s later, without a box; its replies are never taken as samples.
TEST_F(ResumeTest, AFailedRepeatedInitializationIsTriedAgainAfterThirtySeconds) {
  const struct {
    const char* name;
    bool silent;
    const char* said;
  } cases[] = {
      {"counts disagree", false,
       "Counts do not agree: check the DUT and initialize again; initialization again in 30 s"},
      {"no answer", true, "No answer within 30 s; initialization again in 30 s"},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.name);
    console.reset();
    serial = FakeSerialPort();
    QFile::remove(pathOf("osc1.DAT"));
    app::Console& c = runningConsole();
    serial.fail("gone");
    if (t.silent) serial.instrument = nullptr;
    instrument->countHz = {9e6, 11e6, 9e6, 11e6, 9e6, 11e6, 9e6, 11e6, 9e6, 11e6};
    tickAfter(2s);
    instrument->run();
    if (t.silent) tickAfter(30s);
    EXPECT_EQ(c.status().toStdString(), t.said);
    const std::size_t written = serial.writes.size();
    tickAfter(29s);
    EXPECT_EQ(serial.writes.size(), written);

    instrument = std::make_unique<ScriptedInstrument>(serial, kDutHz);
    tickAfter(1s);
    instrument->run();
    tickAfter(1s);
    EXPECT_EQ(c.state(), app::RunState::Running);
    EXPECT_EQ(dataFile().count("DUT Frequency :"), 2);
    EXPECT_TRUE(dialogs.messages.empty());
  }
}

TEST_F(ResumeTest, AFilteredRunWaitsForTheFiltersLockHoweverLongItTakes) {
  app::Console& c = runningConsole(true);
  serial.fail("gone");
  tickAfter(2s);
  instrument->run();
  ASSERT_EQ(c.state(), app::RunState::WaitingForLock);
  tickAfter(40s);
  EXPECT_EQ(c.state(), app::RunState::WaitingForLock);
  awaitLock();
  tickAfter(1s);
  EXPECT_EQ(c.state(), app::RunState::Running);
  EXPECT_TRUE(dialogs.questions.empty());
}

TEST_F(ResumeTest, ASilenceOfSixtySecondsIsTakenForALostInstrument) {
  app::Console& c = runningConsole();
  tickAfter(59s);
  EXPECT_EQ(c.status(), "No samples for 59 s");
  EXPECT_TRUE(serial.isOpen());
  tickAfter(1s);
  EXPECT_EQ(c.status(), "No samples for 60 s at sample 3; reconnecting...");
  EXPECT_FALSE(serial.isOpen());
}

TEST_F(ResumeTest, TheChoiceIsKeptInItsOwnFileAndUncheckedOnAFirstStart) {
  const struct {
    const char* file;  // nothing: no file
    bool checked;
    const char* status;
  } cases[] = {
      {nullptr, false, ""},
      {"on", true, ""},
      {"off", false, ""},
      {"maybe", false, "resume.txt says neither on nor off: \"maybe\""},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.file ? t.file : "no file");
    console.reset();
    QFile::remove(pathOf("resume.txt"));
    if (t.file) writeFile("resume.txt", app::plainTextToRtf(t.file));
    app::Console& c = startConsole();
    EXPECT_EQ(c.menus().resumeAfterPortLoss.checked(), t.checked);
    EXPECT_EQ(c.status(), t.status);
  }
  console->menus().resumeAfterPortLoss.click();
  console.reset();
  EXPECT_TRUE(startConsole().menus().resumeAfterPortLoss.checked());
}

}  // namespace
}  // namespace tessarin::test
