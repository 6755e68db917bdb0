#include <gtest/gtest.h>

#include "link/ReplyDispatch.h"
#include "support/ConsoleFixture.h"

namespace {

class ReplyDispatchTest : public ConsoleFixture {
 protected:
  void SetUp() override { startUp(); }
  ConsoleState& st() { return console->st; }
};

TEST_F(ReplyDispatchTest, LineFramedWithCrLfIsHandedOverOnceAndTheBufferEmptied) {
  serial.receive("CL1\r\n");
  EXPECT_EQ(st().strLockReply, "CL1");
  EXPECT_EQ(st().strReplyLine, "");
  EXPECT_EQ(st().strRxText, "\n");
}

TEST_F(ReplyDispatchTest, CarriageReturnWithoutLineFeedHandsTheSameLineAgain) {
  serial.receive("0000012C\r\r");
  // Each hand-over stores one stage sample.
  EXPECT_EQ(st().intStageIndex, 2);
  EXPECT_DOUBLE_EQ(st().dblStageSample[0], 300 / 120000000.0);
  EXPECT_DOUBLE_EQ(st().dblStageSample[1], 300 / 120000000.0);
  // The next text joins the old line; the whole is handed over as one long line and cut to its
  // count field.
  serial.receive("CL1\r");
  EXPECT_EQ(st().intLongReplies, 1);
  EXPECT_EQ(st().strReplyLine, "00012CCL");
}

TEST_F(ReplyDispatchTest, LineFeedThenCarriageReturnHandsAnEmptyLineThatChangesNothing) {
  serial.receive("\n\r");
  EXPECT_EQ(st().intStageIndex, 0);
  EXPECT_EQ(st().intLongReplies, 0);
  EXPECT_EQ(st().strLockReply, "");
}

TEST_F(ReplyDispatchTest, TextOfTwoCharactersIsAppendedUnchanged) {
  serial.receive("AB");
  collectReplyCharacter(*console, "\r\n");
  EXPECT_EQ(st().strReplyLine, "AB\r\n");
  EXPECT_EQ(st().intStageIndex, 0);
}

TEST_F(ReplyDispatchTest, DuringARunEveryLineGoesToTheSampleHandler) {
  st().intRunning = 1;
  serial.receive("CL1\r\n");
  EXPECT_EQ(st().strLockReply, "");
  st().intRunning = 0;
  serial.receive("CL1\r\n");
  EXPECT_EQ(st().strLockReply, "CL1");
}

TEST_F(ReplyDispatchTest, LineThatNeverEndsStopsGrowingUntilTheNextLineFeed) {
  serial.receive(std::string(10000, 'x'));
  EXPECT_EQ(st().strReplyLine.size(), kMaxReplyLineLength);
  serial.receive("\r\nCL1\r\n");
  EXPECT_EQ(st().strLockReply, "CL1");
  EXPECT_EQ(st().intLongReplies, 1);
}

}  // namespace
