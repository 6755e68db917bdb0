#include <gtest/gtest.h>

#include "link/DutDisplay.h"
#include "link/Initialization.h"
#include "link/InstrumentCommands.h"
#include "support/ConsoleFixture.h"

namespace {

TEST(DutFormats, ShowFiveDecimalsWithTheirIntegerDigits) {
  struct Case {
    double hz;
    const char* grouped;
    const char* plain;
  };
  for (const Case& k : {
           Case{10000000.00168, "10,000,000.00168", "10000000.00168"},
           Case{5000000, "5,000,000.00000", "5000000.00000"},
           Case{10000000.0017, "10,000,000.00170", "10000000.00170"},
           Case{0, "0,000,000.00000", "0000.00000"},
           Case{12.5, "0,000,012.50000", "0012.50000"},
           Case{123456789.123456, "123,456,789.12346", "123456789.12346"},
           Case{0.140625, "0,000,000.14062", "0000.14062"},  // a tie goes to the even digit
           Case{0.046875, "0,000,000.04688", "0000.04688"},
           Case{-5, "-0,000,005.00000", "-0005.00000"},
           Case{-0.000001, "0,000,000.00000", "0000.00000"},
       }) {
    EXPECT_EQ(formatGroupedFrequency(k.hz), k.grouped) << k.hz;
    EXPECT_EQ(formatFrequency4(k.hz), k.plain) << k.hz;
  }
}

class DutDisplayTest : public ConsoleFixture {
 protected:
  void SetUp() override { startUp(); }
  Console& c() { return *console; }

  // Ends a stage whose samples are all equal, so that the DUT measures exactly `hz` (cut to five
  // decimals) against words that realize it.
  void measure(double hz) {
    c().st.dblCoarseFreq = hz - 1000;
    c().st.dblFineFreq = 0;
    std::fill(c().st.dblStageSample.begin(), c().st.dblStageSample.end(), 0.25);
    fitStageFrequency(c());
  }
};

TEST_F(DutDisplayTest, EqualStageSamplesMeasureTheProgrammedFrequency) {
  serial.opened = true;
  programFrequency(c(), 10000000);
  const int callsBefore = events.calls;
  std::fill(c().st.dblStageSample.begin(), c().st.dblStageSample.end(), -0.5);
  fitStageFrequency(c());
  EXPECT_EQ(c().st.dblSlope, 0);
  EXPECT_EQ(c().st.intStageIndex, 4);
  EXPECT_EQ(c().st.dblDutFreq, std::floor(c().st.dblProgFreq * 100000) / 100000);
  EXPECT_EQ(c().windows.measuredFrequencyBox.text(), "10,000,000.00169");
  EXPECT_EQ(c().windows.programmedFrequencyBox.text(), "10000000.00170");
  EXPECT_EQ(c().st.dblDutFreqRounded, 10000000);
  EXPECT_EQ(events.calls - callsBefore, 3);
}

TEST_F(DutDisplayTest, NominalValueIsTheMeasuredFrequencyRoundedToWholeHertz) {
  struct Case {
    double measured;
    const char* nominal;
  };
  for (const Case& k :
       {Case{10000000.49999, "10,000,000.00000"}, Case{10000000.5, "10,000,000.00000"},
        Case{10000001.5, "10,000,002.00000"}}) {
    measure(k.measured);
    c().menus.normalize.setChecked(false);
    toggleNormalization(c());
    EXPECT_EQ(c().windows.nominalFrequencyBox.text(), k.nominal) << k.measured;
  }
}

TEST_F(DutDisplayTest, NormalizationTogglesTheNominalWindow) {
  toggleNormalization(c());
  EXPECT_TRUE(c().menus.normalize.checked());
  EXPECT_TRUE(c().windows.nominalWindow.visible());
  EXPECT_EQ(c().windows.nominalFrequencyBox.text(), "0,000,000.00000");

  c().windows.nominalFrequencyBox.setFromView("10,000,000.00000");
  toggleNormalization(c());
  EXPECT_FALSE(c().menus.normalize.checked());
  EXPECT_FALSE(c().windows.nominalWindow.visible());
  EXPECT_EQ(c().windows.nominalFrequencyBox.text(), "10,000,000.00000");

  measure(5000000.25);
  toggleNormalization(c());
  EXPECT_EQ(c().st.dblNominalDut, 5000000);
  EXPECT_EQ(c().windows.nominalFrequencyBox.text(), "5,000,000.00000");
}

TEST_F(DutDisplayTest, NormalizationQuestionNeverSwitchesNormalizationOff) {
  struct Case {
    bool checkedBefore;
    const char* typed;  // nullptr: the operator left the box alone
    bool answer;
    bool checkedAfter;
    const char* shown;
  };
  for (const Case& k :
       {Case{false, nullptr, true, true, "10,000,012.00000"},
        Case{false, nullptr, false, false, ""}, Case{true, nullptr, true, true, "10,000,012.00000"},
        Case{true, "10,000,000.00000", true, true, "10,000,000.00000"},
        Case{true, nullptr, false, true, "0,000,000.00000"}}) {
    startUp();
    if (k.checkedBefore) toggleNormalization(c());
    if (k.typed) c().windows.nominalFrequencyBox.setFromView(k.typed);
    measure(10000012.34567);
    dialogs.yesNoAnswers = {k.answer};
    askToNormalize(c());
    SCOPED_TRACE(testing::Message() << k.checkedBefore << (k.typed ? k.typed : "") << k.answer);
    EXPECT_EQ(c().st.varAnswer, k.answer ? Answer::Yes : Answer::No);
    EXPECT_EQ(c().menus.normalize.checked(), k.checkedAfter);
    EXPECT_EQ(c().windows.nominalWindow.visible(), k.checkedAfter);
    EXPECT_EQ(c().windows.nominalFrequencyBox.text(), k.shown);
  }
}

TEST_F(DutDisplayTest, ClosingAFrequencyWindowOnlyHidesItUntilTheConsoleCloses) {
  for (ChildWindow* window : {&c().windows.dutFrequencyWindow, &c().windows.nominalWindow}) {
    c().st.blnClosing = false;
    window->setVisible(true);
    EXPECT_TRUE(window->queryUnload()) << window->name().toStdString();
    EXPECT_FALSE(window->visible());
    c().st.blnClosing = true;
    window->setVisible(true);
    EXPECT_FALSE(window->queryUnload());
    EXPECT_FALSE(window->visible());
  }
}

}  // namespace
