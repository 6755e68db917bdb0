#include <gtest/gtest.h>

#include "app/tuning/LinkFixture.h"
#include "link/DutFrequencyText.h"

namespace tessarin::test {
namespace {

const Commands kStream = {"FN0", "MK1", "TA000000C8", "PH05"};

// "MK0", then `n` count requests.
Commands requests(int n) {
  Commands commands{"MK0"};
  commands.insert(commands.end(), static_cast<std::size_t>(n), "CB9");
  return commands;
}

// The commands of an initialization whose count is accepted at the `n`-th count request: the
// counts, the words programming the counted frequency, the first sample stream.
Commands countedCommands(int n, const std::string& coarse, const std::string& fine) {
  Commands commands = requests(n);
  commands.push_back(coarse);
  commands.push_back(fine);
  commands.insert(commands.end(), kStream.begin(), kStream.end());
  return commands;
}

class InitializationTest : public LinkFixture {};

TEST_F(InitializationTest, TunesToTheDutInThreeStagesAndAsksAboutNormalizationOnceReady) {
  app::Console& c = preparedConsole();
  tasks.deferred = true;
  c.menus().initialization.click();
  EXPECT_EQ(serial.openedPort, 2);
  EXPECT_TRUE(c.windows().dutFrequencyWindow.visible());
  EXPECT_TRUE(c.menus().normalize.enabled());
  instrument.run();

  // The DUT counts 10000010 Hz (count 2000002); each stage ends with "PH00" and a new pair of
  // words, the first two also with "PH05". The first stream sends one line more than its stage
  // takes.
  Commands expected = countedCommands(6, "DA145D0000", "DB1EF95D80");
  for (const char* command :
       {"PH00", "DA", "DB", "PH05", "PH00", "DA", "DB", "PH05", "PH00", "DA", "DB"})
    expected.push_back(command);
  const Commands sent = serial.commands();
  ASSERT_EQ(sent.size(), expected.size());
  for (std::size_t i = 0; i < sent.size(); ++i) {
    const std::string& want = expected[i];
    EXPECT_EQ(sent[i].substr(0, want.size() == 2 ? 2 : std::string::npos), want) << i;
  }
  EXPECT_EQ(instrument.streamLengths, (std::vector<int>{4, 12, 20}));

  const link::DutFrequencies& f = c.initialization().frequencies();
  EXPECT_NEAR(f.measured, kDutHz, 2e-5);
  EXPECT_NEAR(instrument.programmedHz(), kDutHz, 0.008);
  EXPECT_TRUE(c.windows().measuredFrequencyBox.text().startsWith("10,000,012.3456"));
  EXPECT_EQ(c.windows().measuredFrequencyBox.text(), link::formatGroupedFrequency(f.measured));
  EXPECT_EQ(c.windows().programmedFrequencyBox.text(), link::formatFrequency4(f.programmed));

  EXPECT_EQ(c.status(), "Ready to start");
  EXPECT_TRUE(c.menus().startStop.enabled());
  EXPECT_EQ(c.menus().startStop.caption(), "S&tart");
  EXPECT_FALSE(c.menus().initialization.enabled());
  EXPECT_FALSE(timer.enabled());

  // The question waits until the serial handler has returned.
  EXPECT_TRUE(dialogs.questions.empty());
  tasks.runPosted();
  ASSERT_EQ(dialogs.questions.size(), 1u);
  EXPECT_EQ(dialogs.questions[0].text, "Do you want to normalize DUT frequency ?");
  EXPECT_EQ(dialogs.questions[0].title, "Normalize FDUT");
  EXPECT_FALSE(c.menus().normalize.checked());
  EXPECT_FALSE(c.windows().nominalWindow.visible());
}

TEST_F(InitializationTest, InitializationAppearsAtTheFirstCountReplyAndStartStaysOffUntilReady) {
  app::Console& c = preparedConsole();
  const QString before = c.status();
  c.menus().initialization.click();
  EXPECT_EQ(c.status(), before);
  EXPECT_FALSE(c.menus().startStop.enabled());
  EXPECT_FALSE(c.menus().initialization.enabled());
  deliverOneReply();
  EXPECT_EQ(c.status(), "Initialization...");
  serial.deliverPending();
  EXPECT_EQ(serial.commands().back(), "PH05");
  EXPECT_FALSE(c.menus().startStop.enabled());
  instrument.run();
  EXPECT_TRUE(c.menus().startStop.enabled());
}

struct CountCase {
  const char* name;
  std::vector<double> countsHz;
  const char* shown;  // the measured-frequency box
  Commands commands;  // all commands sent
  const char* status;
};

class CountAgreementTest : public InitializationTest,
                           public ::testing::WithParamInterface<CountCase> {};

TEST_P(CountAgreementTest, AcceptsOnlyAgreeingCountsWithinTheInstrumentsRange) {
  const CountCase& k = GetParam();
  app::Console& c = preparedConsole();
  instrument.countHz.assign(k.countsHz.begin(), k.countsHz.end());
  c.menus().initialization.click();
  serial.deliverPending();

  EXPECT_EQ(serial.commands(), k.commands);
  EXPECT_EQ(c.windows().measuredFrequencyBox.text(), k.shown);
  EXPECT_EQ(c.status(), k.status);
  const bool accepted = k.commands.back() == "PH05";
  EXPECT_EQ(c.menus().initialization.enabled(), !accepted);
  EXPECT_FALSE(c.menus().startStop.enabled());
}

std::vector<double> six(double hz) { return std::vector<double>(6, hz); }

const char* const kCounting = "Initialization...";
const char* const kOutOfRange = "Frequency out of range";
const Commands kTenMHz = countedCommands(6, "DA145D0000", "DB1EF930C0");
// The reply to the last request comes in after a refusal and leaves the refusal standing.
const Commands kRefused = requests(6);

INSTANTIATE_TEST_SUITE_P(
    Counts, CountAgreementTest,
    ::testing::Values(
        CountCase{"AllAgree", six(1e7), "10,000,000.00000", kTenMHz, kCounting},
        CountCase{"SecondToFourthAgreeAtTheFifthReply",
                  {9999995, 1e7, 1e7, 1e7, 10000005, 1e7},
                  "10,000,000.00000",
                  kTenMHz,
                  kCounting},
        CountCase{"ThirdToFifthAgreeWhenSecondToFourthDoNot",
                  {1e7, 1e7, 10000005, 1e7, 1e7, 1e7},
                  "10,000,000.00000",
                  kTenMHz,
                  kCounting},
        CountCase{"CountingGoesOnUntilTheLastThreeAgree",
                  {1e7, 10000005, 1e7, 10000005, 1e7, 10000005, 1e7, 1e7, 1e7},
                  "10,000,000.00000",
                  countedCommands(9, "DA145D0000", "DB1EF930C0"),
                  kCounting},
        CountCase{"TopOfRange", six(31e6), "31,000,000.00000",
                  countedCommands(6, "DA412A0000", "DB1EF2CA50"), kCounting},
        CountCase{"BottomOfRange", six(1e6), "1,000,000.00000",
                  countedCommands(6, "DA012A0000", "DB1EF2CA50"), kCounting},
        CountCase{"AboveRange", six(31000005), "31,000,005.00000", kRefused, kOutOfRange},
        CountCase{"BelowRange", six(999995), "0,999,995.00000", kRefused, kOutOfRange},
        CountCase{"TenRepliesThatNeverAgree",
                  {1e7, 10000005, 1e7, 10000005, 1e7, 10000005, 1e7, 10000005, 1e7, 10000005},
                  "",
                  requests(10),
                  "Counts do not agree: check the DUT and initialize again"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(InitializationTest, ARepeatedInitializationCountsAfreshAfterDisagreeingCounts) {
  app::Console& c = preparedConsole();
  for (int i = 0; i < 5; ++i) instrument.countHz.insert(instrument.countHz.end(), {1e7, 10000005});
  c.menus().initialization.click();
  serial.deliverPending();
  ASSERT_TRUE(c.menus().initialization.enabled());

  serial.writes.clear();
  c.menus().initialization.click();
  instrument.run();
  EXPECT_EQ(serial.openCount, 1);
  const Commands counted = countedCommands(6, "DA145D0000", "DB1EF95D80");
  const Commands sent = serial.commands();
  ASSERT_GE(sent.size(), counted.size());
  EXPECT_TRUE(std::equal(counted.begin(), counted.end(), sent.begin()));
  EXPECT_EQ(instrument.streamLengths, (std::vector<int>{4, 12, 20}));
  EXPECT_EQ(c.status(), "Ready to start");
}

TEST_F(InitializationTest, FrequencyOutOfRangeCanBeRetriedOnceTheDutIsMended) {
  app::Console& c = preparedConsole();
  instrument.dutHz = 40e6;
  c.menus().initialization.click();
  serial.deliverPending();
  EXPECT_EQ(c.status(), "Frequency out of range");
  EXPECT_EQ(c.windows().measuredFrequencyBox.text(), "40,000,000.00000");

  instrument.dutHz = kDutHz;
  c.menus().initialization.click();
  EXPECT_EQ(c.status(), "Frequency out of range");
  deliverOneReply();
  EXPECT_EQ(c.status(), "Initialization...");
  instrument.run();
  EXPECT_EQ(instrument.streamLengths, (std::vector<int>{4, 12, 20}));
  EXPECT_TRUE(c.windows().measuredFrequencyBox.text().startsWith("10,000,012.3456"));
  EXPECT_EQ(c.status(), "Ready to start");
}

TEST_F(InitializationTest, PortThatCannotBeOpenedLeavesInitializationUsable) {
  app::Console& c = preparedConsole();
  serial.openError = "Com 3 (/dev/ttyS2): no such device";
  c.menus().com3.click();
  c.menus().initialization.click();
  EXPECT_EQ(serial.openedPort, 3);
  EXPECT_EQ(c.status(), "Port not opened: Com 3 (/dev/ttyS2): no such device");
  EXPECT_TRUE(serial.writes.empty());
  EXPECT_TRUE(c.menus().initialization.enabled());
  EXPECT_FALSE(c.menus().startStop.enabled());
  EXPECT_FALSE(c.windows().dutFrequencyWindow.visible());

  serial.openError.clear();
  c.menus().com1.click();
  c.menus().initialization.click();
  EXPECT_EQ(serial.openedPort, 1);
  EXPECT_EQ(serial.commands(), (Commands{"MK0", "CB9"}));
  EXPECT_FALSE(c.menus().initialization.enabled());
  deliverOneReply();
  EXPECT_EQ(c.status(), "Initialization...");
}

TEST_F(InitializationTest, AfterAPortFailureARepeatedInitializationKeepsStartOffUntilReady) {
  app::Console& c = preparedConsole();
  c.menus().initialization.click();
  instrument.run();
  ASSERT_TRUE(c.menus().startStop.enabled());

  serial.fail("device vanished");
  EXPECT_EQ(c.status(), "Serial port failed: device vanished");
  EXPECT_FALSE(c.menus().startStop.enabled());
  EXPECT_TRUE(c.menus().initialization.enabled());

  // Counting stops half-way, then starts over.
  serial.writes.clear();
  c.menus().initialization.click();
  EXPECT_EQ(serial.openCount, 2);
  deliverOneReply();
  deliverOneReply();
  c.menus().startStop.click();
  EXPECT_EQ(serial.commands(), (Commands{"MK0", "CB9", "CB9", "CB9"}));
  EXPECT_EQ(c.menus().startStop.caption(), "S&tart");
  EXPECT_FALSE(c.menus().startStop.enabled());

  serial.fail("device vanished");
  serial.pending.clear();
  serial.writes.clear();
  c.menus().initialization.click();
  instrument.run();
  const Commands counted = countedCommands(6, "DA145D0000", "DB1EF95D80");
  const Commands sent = serial.commands();
  ASSERT_GE(sent.size(), counted.size());
  EXPECT_TRUE(std::equal(counted.begin(), counted.end(), sent.begin()));
  EXPECT_EQ(c.status(), "Ready to start");
  EXPECT_TRUE(c.menus().startStop.enabled());
}

TEST_F(InitializationTest, QuitDuringInitializationSendsNothingAfterMk0) {
  app::Console& c = preparedConsole();
  c.menus().initialization.click();
  deliverOneReply();
  c.menus().quit.click();
  EXPECT_EQ(serial.commands(), (Commands{"MK0", "CB9", "CB9", "MK0"}));
  EXPECT_EQ(application.quitCalls, 1);

  serial.deliverPending();
  serial.receive("CB001E8480\r\nCB001E8480\r\nCB001E8480\r\n00001234\r\nCL1\r\n");
  timer.tick();
  EXPECT_EQ(serial.commands(), (Commands{"MK0", "CB9", "CB9", "MK0"}));
}

TEST_F(InitializationTest, WithNoComItemCheckedComOneIsOpened) {
  app::Console& c = preparedConsole();
  c.menus().com2.setChecked(false);
  c.menus().initialization.click();
  EXPECT_EQ(serial.openedPort, 1);
}

TEST_F(InitializationTest, TheModeDecidesWhetherTheLockPollTakesOverAtTheEnd) {
  const struct {
    std::optional<bool> filtered;
    bool polling;
    const char* status;
  } cases[] = {{true, true, "Initialization..."}, {std::nullopt, false, "Ready to start"}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.status);
    serial = FakeSerialPort();
    ScriptedInstrument dut(serial, kDutHz);
    dialogs.questions.clear();
    app::Console& c = preparedConsole(k.filtered);
    c.menus().initialization.click();
    dut.run();
    EXPECT_EQ(timer.enabled(), k.polling);
    EXPECT_EQ(c.menus().startStop.enabled(), !k.polling);
    EXPECT_EQ(dialogs.questions.size(), k.polling ? 0u : 1u);
    EXPECT_EQ(c.status(), k.status);
  }
}

}  // namespace
}  // namespace tessarin::test
