#include <gtest/gtest.h>

#include "link/LockSupervision.h"
#include "link/ScriptedInstrument.h"
#include "support/ConsoleFixture.h"

namespace {

class LockSupervisionTest : public ConsoleFixture {
 protected:
  // The console as the initialization leaves it in filtered mode: port open, poll running.
  void SetUp() override {
    startUp();
    serial.opened = true;
    console->st.intPortOpen = 1;
    console->menus.normalize.setEnabled(true);
    timer.setEnabled(true);
    // Pending events include the replies waiting on the line.
    events.onProcess = [this] { serial.deliverPending(); };
  }

  int pollsSent() const {
    const auto sent = serial.commands();
    return static_cast<int>(std::count(sent.begin(), sent.end(), "CL9"));
  }

  Console& c() { return *console; }
  ScriptedInstrument instrument{serial, 10000000};
};

TEST_F(LockSupervisionTest, LockIsAnnouncedAtTheTickAfterTheFirstLockedReply) {
  instrument.lockReplies = {"CL0", "CL0", "CL1", "CL1"};
  for (int tick = 1; tick <= 3; ++tick) {
    timer.tick();
    EXPECT_EQ(c().status(), "XTAL filter Unlocked, wait...") << tick;
    EXPECT_FALSE(c().menus.startStop.enabled()) << tick;
  }
  timer.tick();
  EXPECT_EQ(pollsSent(), 4);
  EXPECT_FALSE(timer.enabled());
  EXPECT_EQ(c().status(), "XTAL filter Locked");
  EXPECT_TRUE(c().menus.startStop.enabled());
  EXPECT_EQ(c().menus.startStop.caption(), "S&tart");
  ASSERT_EQ(dialogs.questions.size(), 1u);
  EXPECT_EQ(dialogs.questions[0].text, "Do you want to normalize DUT frequency ?");
  EXPECT_EQ(dialogs.questions[0].title, "Normalize FDUT");

  // The reply to the last poll only updates the stored lock reply.
  timer.tick();
  serial.deliverPending();
  EXPECT_EQ(pollsSent(), 4);
  EXPECT_EQ(c().st.strLockReply, "CL1");
}

TEST_F(LockSupervisionTest, LowerCaseReplyIsNotALock) {
  instrument.lockReplies = {"cl1", "cl1", "cl1"};
  for (int tick = 0; tick < 4; ++tick) timer.tick();
  EXPECT_TRUE(timer.enabled());
  EXPECT_EQ(c().status(), "XTAL filter Unlocked, wait...");
  EXPECT_FALSE(c().menus.startStop.enabled());
  EXPECT_TRUE(dialogs.questions.empty());
}

TEST_F(LockSupervisionTest, LockReceivedBeforeThePollStartedIsSeenAtTheFirstTick) {
  serial.receive("CL1\r\n");
  timer.tick();
  EXPECT_EQ(pollsSent(), 1);
  EXPECT_EQ(c().status(), "XTAL filter Locked");
}

TEST_F(LockSupervisionTest, AnswerNoLeavesNormalizationAsItWas) {
  for (bool checked : {false, true}) {
    c().menus.normalize.setChecked(checked);
    c().st.strLockReply = "CL1";
    timer.setEnabled(true);
    dialogs.yesNoAnswers = {false};
    timer.tick();
    EXPECT_EQ(c().st.varAnswer, Answer::No);
    EXPECT_EQ(c().menus.normalize.checked(), checked);
  }
}

TEST_F(LockSupervisionTest, AnswerYesSwitchesNormalizationOn) {
  c().st.dblDutFreqRounded = 10000012;
  c().st.strLockReply = "CL1";
  dialogs.yesNoAnswers = {true};
  timer.tick();
  EXPECT_TRUE(c().menus.normalize.checked());
  EXPECT_EQ(c().windows.nominalFrequencyBox.text(), "10,000,012.00000");
}

TEST_F(LockSupervisionTest, AfterAStoppedRunTheLockLeavesStartAlone) {
  c().st.intRunStopped = 1;
  c().menus.startStop.setCaption("S&top");
  c().st.strLockReply = "CL1";
  timer.tick();
  EXPECT_EQ(c().status(), "XTAL filter Locked");
  EXPECT_FALSE(c().menus.startStop.enabled());
  EXPECT_EQ(c().menus.startStop.caption(), "S&top");
}

}  // namespace
