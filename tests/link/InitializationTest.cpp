#include <gtest/gtest.h>

#include "link/DutDisplay.h"
#include "link/Initialization.h"
#include "link/ScriptedInstrument.h"
#include "support/ConsoleFixture.h"

namespace {

constexpr double kDutHz = 10000012.34567;

class InitializationTest : public ConsoleFixture {
 protected:
  void SetUp() override {
    Console& c = startUp();
    c.menus.com2.click();
    c.menus.nonFiltered.click();
    c.menus.initialization.setEnabled(true);
  }

  // The commands of one accepted count: the six count requests, the words, the stream start.
  static std::vector<std::string> acceptedCountCommands(double hz) {
    const FrequencyWords words = frequencyWordsFor(hz);
    return {"MK0",
            "CB9",
            "CB9",
            "CB9",
            "CB9",
            "CB9",
            "CB9",
            words.coarseCommand,
            words.fineCommand,
            "FN0",
            "MK1",
            "TA000000C8",
            "PH05"};
  }

  Console& c() { return *console; }
  ScriptedInstrument instrument{serial, kDutHz};
};

TEST_F(InitializationTest, TunesToTheDutInThreeStagesAndBecomesReady) {
  c().menus.initialization.click();
  instrument.run();

  // The DUT counts 10000010 Hz (count 2000002); each stage ends with "PH00", a new pair of words
  // and, after the first two, "PH05".
  std::vector<std::string> expected = acceptedCountCommands(10000010);
  for (const char* command :
       {"PH00", "DA", "DB", "PH05", "PH00", "DA", "DB", "PH05", "PH00", "DA", "DB"})
    expected.push_back(command);
  const std::vector<std::string> sent = serial.commands();
  ASSERT_EQ(sent.size(), expected.size());
  for (std::size_t i = 0; i < sent.size(); ++i) {
    const std::string& want = expected[i];
    EXPECT_EQ(sent[i].substr(0, want.size() == 2 ? 2 : std::string::npos), want) << i;
  }
  EXPECT_EQ(instrument.streamLengths, (std::vector<int>{4, 12, 20}));
  EXPECT_EQ(serial.openedPort, 2);

  const ConsoleState& st = c().st;
  EXPECT_NEAR(st.dblDutFreq, kDutHz, 2e-5);
  EXPECT_EQ(st.dblDutFreqRounded, 10000012);
  EXPECT_NEAR(instrument.programmedHz(), kDutHz, 0.008);
  EXPECT_EQ(c().windows.measuredFrequencyBox.text(), formatGroupedFrequency(st.dblDutFreq));
  EXPECT_TRUE(c().windows.measuredFrequencyBox.text().startsWith("10,000,012.3456"));
  EXPECT_EQ(c().windows.programmedFrequencyBox.text(), formatFrequency4(st.dblProgFreq));
  EXPECT_TRUE(c().windows.dutFrequencyWindow.visible());
  EXPECT_EQ(st.intStageIndex, 22);

  EXPECT_EQ(c().status(), "Ready to start");
  EXPECT_TRUE(c().menus.startStop.enabled());
  EXPECT_EQ(c().menus.startStop.caption(), "S&tart");
  EXPECT_FALSE(c().menus.initialization.enabled());
  EXPECT_TRUE(c().menus.normalize.enabled());
  EXPECT_FALSE(timer.enabled());
  ASSERT_EQ(dialogs.questions.size(), 1u);
  EXPECT_EQ(dialogs.questions[0].text, "Do you want to normalize DUT frequency ?");
  EXPECT_EQ(dialogs.questions[0].title, "Normalize FDUT");
  EXPECT_EQ(st.varAnswer, Answer::No);
  EXPECT_FALSE(c().menus.normalize.checked());

  // Sample lines after the last stage have no slot.
  serial.receive("00001234\r\n00001234\r\n");
  EXPECT_EQ(serial.commands().size(), expected.size());
  EXPECT_EQ(st.intStageIndex, 22);
}

TEST_F(InitializationTest, SampleLinesHandledDuringTheFitLeaveTheFittedSamplesAlone) {
  // A stray reading as far off as it can be, arriving mid-fit in every stage.
  events.onProcess = [this] {
    if (events.calls == 2 || events.calls == 10 || events.calls == 30) {
      serial.queueLine("7FFFFFFF");
      serial.deliverPending();
    }
  };
  c().menus.initialization.click();
  instrument.run();
  EXPECT_EQ(instrument.streamLengths, (std::vector<int>{4, 12, 20}));
  EXPECT_NEAR(c().st.dblDutFreq, kDutHz, 2e-5);
  EXPECT_EQ(c().status(), "Ready to start");
}

struct CountCase {
  const char* name;
  std::vector<double> countsHz;
  const char* shown;
  double acceptedHz;  // 0 when the frequency is refused
};

class CountAcceptanceTest : public InitializationTest,
                            public ::testing::WithParamInterface<CountCase> {};

TEST_P(CountAcceptanceTest, AcceptsAgreeingCountsWithinTheInstrumentsRange) {
  const CountCase& k = GetParam();
  instrument.countHz.assign(k.countsHz.begin(), k.countsHz.end());
  c().menus.initialization.click();
  serial.deliverPending();

  EXPECT_EQ(c().windows.measuredFrequencyBox.text(), k.shown);
  EXPECT_EQ(c().st.intLongReplies, 6);
  EXPECT_EQ(c().st.intCounting, 0);
  if (k.acceptedHz != 0) {
    EXPECT_EQ(serial.commands(), acceptedCountCommands(k.acceptedHz));
    EXPECT_EQ(c().st.dblCountFreq, k.acceptedHz);
    EXPECT_EQ(c().status(), "Initialization...");
    EXPECT_FALSE(c().menus.initialization.enabled());
  } else {
    EXPECT_EQ(serial.commands(),
              (std::vector<std::string>{"MK0", "CB9", "CB9", "CB9", "CB9", "CB9", "CB9"}));
    // The reply to the last request came in after the refusal and left the message standing.
    EXPECT_EQ(c().status(), "Frequency out of range");
    EXPECT_TRUE(c().menus.initialization.enabled());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Counts, CountAcceptanceTest,
    ::testing::Values(
        CountCase{"AllAgree", {1e7, 1e7, 1e7, 1e7, 1e7, 1e7}, "10,000,000.00000", 1e7},
        CountCase{"SecondToFourthAgree",
                  {9999995, 1e7, 1e7, 1e7, 10000005, 1e7},
                  "10,000,000.00000",
                  1e7},
        CountCase{"ThirdToFifthAgreeWhenSecondToFourthDoNot",
                  {1e7, 1e7, 10000005, 1e7, 1e7, 1e7},
                  "10,000,000.00000",
                  1e7},
        CountCase{"TopOfRange", {31e6, 31e6, 31e6, 31e6, 31e6, 31e6}, "31,000,000.00000", 31e6},
        CountCase{"BottomOfRange", {1e6, 1e6, 1e6, 1e6, 1e6, 1e6}, "1,000,000.00000", 1e6},
        CountCase{"AboveRange",
                  {31000005, 31000005, 31000005, 31000005, 31000005, 31000005},
                  "31,000,005.00000",
                  0},
        CountCase{
            "BelowRange", {999995, 999995, 999995, 999995, 999995, 999995}, "0,999,995.00000", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(InitializationTest, CountsThatNeverAgreeEndWithAMessageAndInitializationCanBeRepeated) {
  for (int i = 0; i < 5; ++i) instrument.countHz.insert(instrument.countHz.end(), {1e7, 10000005});
  c().menus.initialization.click();
  serial.deliverPending();

  EXPECT_EQ(serial.commands(), std::vector<std::string>({"MK0", "CB9", "CB9", "CB9", "CB9", "CB9",
                                                         "CB9", "CB9", "CB9", "CB9", "CB9"}));
  EXPECT_EQ(c().status(), "Counts do not agree: check the DUT and initialize again");
  EXPECT_EQ(c().st.intCounting, 0);
  ASSERT_TRUE(c().menus.initialization.enabled());

  serial.writes.clear();
  c().menus.initialization.click();
  instrument.run();
  EXPECT_EQ(serial.openCount, 1);
  const std::vector<std::string> counted = acceptedCountCommands(10000010);
  ASSERT_GE(serial.commands().size(), counted.size());
  EXPECT_TRUE(std::equal(counted.begin(), counted.end(), serial.commands().begin()));
  EXPECT_EQ(instrument.streamLengths, (std::vector<int>{4, 12, 20}));
  EXPECT_EQ(c().status(), "Ready to start");
}

TEST_F(InitializationTest, FrequencyOutOfRangeCanBeRetriedOnceTheDutIsMended) {
  instrument.dutHz = 40e6;
  c().menus.initialization.click();
  serial.deliverPending();
  EXPECT_EQ(c().status(), "Frequency out of range");
  EXPECT_EQ(c().windows.measuredFrequencyBox.text(), "40,000,000.00000");

  instrument.dutHz = kDutHz;
  c().menus.initialization.click();
  EXPECT_EQ(c().status(), "Initialization...");
  instrument.run();
  EXPECT_EQ(instrument.streamLengths, (std::vector<int>{4, 12, 20}));
  EXPECT_NEAR(c().st.dblDutFreq, kDutHz, 2e-5);
}

TEST_F(InitializationTest, PortThatCannotBeOpenedLeavesInitializationUsable) {
  serial.openError = "Com 3 (/dev/ttyS2): no such device";
  c().menus.com3.click();
  c().menus.initialization.click();
  EXPECT_EQ(serial.openedPort, 3);
  EXPECT_EQ(c().status(), "Port not opened: Com 3 (/dev/ttyS2): no such device");
  EXPECT_EQ(c().st.intPortOpen, 0);
  EXPECT_EQ(c().st.intInitPending, 1);
  EXPECT_TRUE(serial.writes.empty());
  EXPECT_TRUE(c().menus.initialization.enabled());
  EXPECT_FALSE(c().windows.dutFrequencyWindow.visible());

  serial.openError.clear();
  c().menus.com1.click();
  c().menus.initialization.click();
  EXPECT_EQ(serial.openedPort, 1);
  EXPECT_EQ(c().st.intPortOpen, 1);
  EXPECT_EQ(serial.commands(), (std::vector<std::string>{"MK0", "CB9"}));
  EXPECT_EQ(c().status(), "Initialization...");
}

TEST_F(InitializationTest, WithNoComItemCheckedComOneIsOpened) {
  for (MenuItem* item : {&c().menus.com1, &c().menus.com2, &c().menus.com3, &c().menus.com4})
    item->setChecked(false);
  c().menus.initialization.click();
  EXPECT_EQ(serial.openedPort, 1);
}

TEST_F(InitializationTest, InFilteredModeTheLockPollTakesOverAtTheEnd) {
  c().menus.filtered.click();
  c().menus.initialization.click();
  instrument.run();
  EXPECT_TRUE(timer.enabled());
  EXPECT_FALSE(c().menus.startStop.enabled());
  EXPECT_TRUE(dialogs.questions.empty());
  EXPECT_EQ(c().status(), "Initialization...");
}

TEST_F(InitializationTest, WithNoFilterModeChosenTheConsoleBecomesReadyAsNonFiltered) {
  c().menus.nonFiltered.setChecked(false);
  c().menus.filtered.setChecked(false);
  c().menus.initialization.click();
  instrument.run();
  EXPECT_FALSE(timer.enabled());
  EXPECT_EQ(c().status(), "Ready to start");
  EXPECT_TRUE(c().menus.startStop.enabled());
  EXPECT_EQ(dialogs.questions.size(), 1u);
}

TEST_F(InitializationTest, SampleLineBeforeTheFirstStreamEndsTheFirstStageOneLineEarlier) {
  c().menus.initialization.click();
  serial.receive("00000010\r\n");
  instrument.run();
  EXPECT_EQ(instrument.streamLengths, (std::vector<int>{3, 12, 20}));
}

}  // namespace
