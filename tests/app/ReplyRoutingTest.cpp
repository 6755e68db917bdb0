#include <gtest/gtest.h>

#include "app/runs/RunFixture.h"
#include "app/tuning/LinkFixture.h"

namespace tessarin::test {
namespace {

using namespace std::chrono_literals;

// Lines slipped in between the instrument's while the console counts or refines.
struct StrayCase {
  const char* name;
  bool whileRefining;
  std::string lines;
  Commands sentAtOnce;
  std::vector<int> streamLengths;  // of the whole initialization
};

class LineMeaningTest : public LinkFixture, public ::testing::WithParamInterface<StrayCase> {};

TEST_P(LineMeaningTest, CountingTakesLongRepliesAndRefiningTakesSampleLines) {
  const StrayCase& k = GetParam();
  app::Console& c = preparedConsole();
  c.menus().initialization.click();
  if (k.whileRefining) serial.deliverPending();
  ASSERT_EQ(serial.commands().back(), k.whileRefining ? "PH05" : "CB9");
  const std::size_t before = serial.writes.size();
  serial.receive(k.lines);
  EXPECT_EQ(commandsFrom(before), k.sentAtOnce);
  instrument.run();
  EXPECT_EQ(instrument.streamLengths, k.streamLengths);
  EXPECT_EQ(c.status(), "Ready to start");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineMeaningTest,
    ::testing::Values(
        StrayCase{"CountReplyWhileCounting", false, "CB001E8480\r\n", {"CB9"}, {4, 12, 20}},
        StrayCase{"SampleLineWhileCounting", false, "00001234\r\n", {}, {4, 12, 20}},
        StrayCase{"SampleLineWhileRefining", true, "00001234\r\n", {}, {3, 12, 20}},
        StrayCase{"OtherLinesWhileRefining",
                  true,
                  "CB001E8480\r\n0000123\r\n000012345\r\n\r\n",
                  {},
                  {4, 12, 20}}),
    [](const auto& test) { return std::string(test.param.name); });

// Sample lines nothing expects, sent at these times after the state was reached; "PH00" goes
// out again at most once a second, counted from when the console last stopped the stream.
enum class Reached { IdlePortClosed, IdleAfterDisagreeingCounts, WaitingForLock, Ready };

struct IgnoredCase {
  const char* name;
  Reached state;
  std::vector<int> stopsAfter;  // "PH00" sent so far after the lines at +0, +999, +1000, +1500,
                                // +2000 ms
};

class IgnoredLineTest : public LinkFixture, public ::testing::WithParamInterface<IgnoredCase> {};

TEST_P(IgnoredLineTest, SampleLinesNobodyExpectsAreDroppedAndTheStreamStoppedAgain) {
  const IgnoredCase& k = GetParam();
  app::Console& c = preparedConsole(k.state == Reached::WaitingForLock);
  clock.now = 10s;
  if (k.state == Reached::IdleAfterDisagreeingCounts) {
    for (int i = 0; i < 5; ++i)
      instrument.countHz.insert(instrument.countHz.end(), {1e7, 10000005});
  }
  if (k.state != Reached::IdlePortClosed) {
    c.menus().initialization.click();
    instrument.run();
  }
  serial.writes.clear();
  const QString status = c.status();
  const QString measured = c.windows().measuredFrequencyBox.text();
  const QString programmed = c.windows().programmedFrequencyBox.text();
  const bool startEnabled = c.menus().startStop.enabled();
  const std::size_t questions = dialogs.questions.size();

  std::vector<int> stops;
  for (const auto offset : {0ms, 999ms, 1000ms, 1500ms, 2000ms}) {
    clock.now = 10s + offset;
    serial.receive("00001234\r\n0000FFFF\r\n");
    stops.push_back(countOf("PH00"));
  }
  EXPECT_EQ(stops, k.stopsAfter);
  clock.now = 15s;
  serial.receive("CB001E8480\r\n0000123\r\n000012345\r\n");
  EXPECT_EQ(serial.commands(), Commands(stops.back(), "PH00"));
  EXPECT_EQ(c.status(), status);
  EXPECT_EQ(c.windows().measuredFrequencyBox.text(), measured);
  EXPECT_EQ(c.windows().programmedFrequencyBox.text(), programmed);
  EXPECT_EQ(c.menus().startStop.enabled(), startEnabled);
  EXPECT_EQ(dialogs.questions.size(), questions);
}

INSTANTIATE_TEST_SUITE_P(
    States, IgnoredLineTest,
    ::testing::Values(
        IgnoredCase{"IdleWithThePortClosed", Reached::IdlePortClosed, {0, 0, 0, 0, 0}},
        IgnoredCase{
            "IdleAfterDisagreeingCounts", Reached::IdleAfterDisagreeingCounts, {1, 1, 2, 2, 3}},
        IgnoredCase{"WaitingForLock", Reached::WaitingForLock, {0, 0, 1, 1, 2}},
        IgnoredCase{"Ready", Reached::Ready, {0, 0, 1, 1, 2}}),
    [](const auto& test) { return std::string(test.param.name); });

class StraySamplesAfterStopTest : public RunFixture {};

TEST_F(StraySamplesAfterStopTest, SampleLinesAfterStopChangeNothingAndStopTheStreamOnceASecond) {
  app::Console& c = initializedConsole();
  clock.now = 5s;
  c.menus().startStop.click();
  feed({"00000000", "0000000C", "00000018", "00000024"});
  clock.now = 8s;
  c.menus().startStop.click();
  ASSERT_EQ(serial.commands().back(), "PH00");
  const std::size_t stopped = serial.writes.size();
  const QString measured = c.windows().measuredFrequencyBox.text();
  const QString programmed = c.windows().programmedFrequencyBox.text();
  const QByteArray file = dataFile();
  const std::size_t points = dataPlot.curve("Curve1").y.size();

  const auto feedStrayLines = [this] {
    for (int i = 0; i < 25; ++i) feed({"00000030"});
  };
  feedStrayLines();
  clock.now = 8s + 999ms;
  feedStrayLines();
  EXPECT_TRUE(commandsFrom(stopped).empty());
  clock.now = 9s;
  feedStrayLines();
  EXPECT_EQ(commandsFrom(stopped), Commands{"PH00"});
  clock.now = 10s;
  feedStrayLines();
  EXPECT_EQ(commandsFrom(stopped), (Commands{"PH00", "PH00"}));

  EXPECT_EQ(c.windows().measuredFrequencyBox.text(), measured);
  EXPECT_EQ(c.windows().programmedFrequencyBox.text(), programmed);
  EXPECT_EQ(dataFile(), file);
  EXPECT_EQ(dataPlot.curve("Curve1").y.size(), points);
  EXPECT_TRUE(dialogs.questions.empty());
  EXPECT_EQ(c.status(), "Stop...");
  EXPECT_EQ(c.menus().startStop.caption(), "S&tart");
  EXPECT_TRUE(c.menus().startStop.enabled());
}

}  // namespace
}  // namespace tessarin::test
