#include <gtest/gtest.h>

#include "app/tuning/LinkFixture.h"

namespace tessarin::test {
namespace {

// A console initialized in filtered mode: the lock poll runs.
class FilterLockTest : public LinkFixture {
 protected:
  app::Console& waitingConsole() {
    app::Console& c = preparedConsole(true);
    c.menus().initialization.click();
    instrument.run();
    EXPECT_TRUE(timer.enabled());
    return c;
  }

  // One tick of the poll; the instrument's answer arrives before the next.
  void tickAndAnswer() {
    timer.tick();
    serial.deliverPending();
  }
};

struct PollCase {
  const char* name;
  std::deque<std::string> replies;  // to "CL9"
  int lockingTick;                  // 0: the filter never locks
};

class LockPollTest : public FilterLockTest, public ::testing::WithParamInterface<PollCase> {};

TEST_P(LockPollTest, LockIsAnnouncedAtTheTickAfterTheFirstLockedReply) {
  const PollCase& k = GetParam();
  app::Console& c = waitingConsole();
  instrument.lockReplies = k.replies;
  for (int tick = 1; tick <= 4; ++tick) {
    tickAndAnswer();
    SCOPED_TRACE(tick);
    const bool locked = tick == k.lockingTick;
    EXPECT_EQ(countOf("CL9"), tick);
    EXPECT_EQ(c.status(), locked ? "XTAL filter Locked" : "XTAL filter Unlocked, wait...");
    EXPECT_EQ(c.menus().startStop.enabled(), locked);
    EXPECT_EQ(timer.enabled(), !locked);
    EXPECT_EQ(dialogs.questions.size(), locked ? 1u : 0u);
  }
  EXPECT_EQ(c.menus().startStop.caption(), "S&tart");
  if (k.lockingTick == 0) return;
  EXPECT_EQ(dialogs.questions[0].text, "Do you want to normalize DUT frequency ?");
  EXPECT_EQ(dialogs.questions[0].title, "Normalize FDUT");
  // The poll has stopped: no further tick asks.
  tickAndAnswer();
  EXPECT_EQ(countOf("CL9"), 4);
}

INSTANTIATE_TEST_SUITE_P(Replies, LockPollTest,
                         ::testing::Values(PollCase{"CL1", {"CL0", "CL0", "CL1", "CL1"}, 4},
                                           PollCase{"LowerCaseIsNoLock", {"cl1", "cl1", "cl1"}, 0}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(FilterLockTest, LockReceivedBeforeThePollStartedIsSeenAtTheFirstTick) {
  app::Console& c = preparedConsole(true);
  c.menus().initialization.click();
  serial.deliverPending();
  serial.receive("CL1\r\n");
  instrument.run();
  ASSERT_TRUE(timer.enabled());
  timer.tick();
  EXPECT_EQ(countOf("CL9"), 1);
  EXPECT_EQ(c.status(), "XTAL filter Locked");
}

struct AnswerCase {
  bool checkedBefore;
  bool answer;
  bool checkedAfter;
  const char* nominal;
};

class LockAnswerTest : public FilterLockTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(LockAnswerTest, OnlyYesChangesNormalizationOnceLocked) {
  const AnswerCase& k = GetParam();
  app::Console& c = preparedConsole(true);
  c.menus().initialization.click();
  if (k.checkedBefore) c.menus().normalize.click();
  instrument.run();
  serial.receive("CL1\r\n");
  dialogs.yesNoAnswers = {k.answer};
  timer.tick();
  EXPECT_EQ(dialogs.questions.size(), 1u);
  EXPECT_EQ(c.menus().normalize.checked(), k.checkedAfter);
  EXPECT_EQ(c.windows().nominalWindow.visible(), k.checkedAfter);
  EXPECT_EQ(c.windows().nominalFrequencyBox.text(), k.nominal);
}

INSTANTIATE_TEST_SUITE_P(Answers, LockAnswerTest,
                         ::testing::Values(AnswerCase{false, false, false, ""},
                                           AnswerCase{true, false, true, "0,000,000.00000"},
                                           AnswerCase{false, true, true, "10,000,012.00000"}));

TEST_F(FilterLockTest, ALockReplyFromBeforeARepeatedInitializationIsForgotten) {
  app::Console& c = waitingConsole();
  instrument.lockReplies = {"CL1"};
  tickAndAnswer();
  tickAndAnswer();
  ASSERT_EQ(c.status(), "XTAL filter Locked");

  serial.fail("device vanished");
  c.menus().initialization.click();
  instrument.run();
  instrument.lockReplies = {"CL0"};
  tickAndAnswer();
  EXPECT_EQ(c.status(), "XTAL filter Unlocked, wait...");
  EXPECT_FALSE(c.menus().startStop.enabled());
}

TEST_F(FilterLockTest, ALateTickAfterTheLockChangesNothing) {
  app::Console& c = waitingConsole();
  serial.receive("CL1\r\n");
  timer.tick();
  c.menus().startStop.click();
  ASSERT_EQ(c.menus().startStop.caption(), "S&top");
  const std::size_t sent = serial.writes.size();

  // A tick the timer had already queued when the poll stopped.
  timer.onTick();
  EXPECT_EQ(serial.writes.size(), sent);
  EXPECT_EQ(c.status(), "Running...");
  EXPECT_EQ(c.menus().startStop.caption(), "S&top");
  EXPECT_TRUE(c.menus().startStop.enabled());
}

}  // namespace
}  // namespace tessarin::test
