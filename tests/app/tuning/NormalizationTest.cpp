#include <gtest/gtest.h>

#include "app/tuning/LinkFixture.h"
#include "link/DutFrequencyText.h"

namespace tessarin::test {
namespace {

using link::formatFrequency4;
using link::formatGroupedFrequency;

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

class DutDisplayTest : public LinkFixture {
 protected:
  // Initializes the console to a DUT at `hz`; normalization is declined.
  app::Console& initializedTo(double hz) {
    instrument.dutHz = hz;
    app::Console& c = preparedConsole();
    c.menus().initialization.click();
    instrument.run();
    EXPECT_EQ(c.status(), "Ready to start");
    return c;
  }
};

TEST_F(DutDisplayTest, EqualStageSamplesMeasureTheProgrammedFrequency) {
  instrument.dutHz = 10000000;
  app::Console& c = preparedConsole();
  c.menus().initialization.click();
  serial.deliverPending();
  const std::size_t counted = serial.writes.size();
  serial.receive("FC6C7900\r\nFC6C7900\r\nFC6C7900\r\nFC6C7900\r\n");
  EXPECT_EQ(commandsFrom(counted), (Commands{"PH00", "DA145D0000", "DB1EF930C0", "PH05"}));
  EXPECT_EQ(c.windows().measuredFrequencyBox.text(), "10,000,000.00169");
  EXPECT_EQ(c.windows().programmedFrequencyBox.text(), "10000000.00170");
  c.menus().normalize.click();
  EXPECT_EQ(c.windows().nominalFrequencyBox.text(), "10,000,000.00000");
}

struct NominalCase {
  double dutHz;
  const char* measured;
  const char* nominal;
};

class NominalValueTest : public DutDisplayTest,
                         public ::testing::WithParamInterface<NominalCase> {};

TEST_P(NominalValueTest, IsTheMeasuredFrequencyRoundedToWholeHertzWithTiesToEven) {
  app::Console& c = initializedTo(GetParam().dutHz);
  ASSERT_EQ(c.windows().measuredFrequencyBox.text(), GetParam().measured);
  c.menus().normalize.click();
  EXPECT_EQ(c.windows().nominalFrequencyBox.text(), GetParam().nominal);
}

INSTANTIATE_TEST_SUITE_P(
    Rounding, NominalValueTest,
    ::testing::Values(NominalCase{10000000.499995, "10,000,000.49999", "10,000,000.00000"},
                      NominalCase{10000000.500005, "10,000,000.50000", "10,000,000.00000"},
                      NominalCase{10000001.500005, "10,000,001.50000", "10,000,002.00000"}));

TEST_F(DutDisplayTest, NormalizationTogglesTheNominalWindow) {
  instrument.dutHz = 5000000.25;
  app::Console& c = preparedConsole();
  EXPECT_FALSE(c.menus().normalize.enabled());
  c.menus().initialization.click();
  ASSERT_TRUE(c.menus().normalize.enabled());
  c.menus().normalize.click();
  EXPECT_TRUE(c.menus().normalize.checked());
  EXPECT_TRUE(c.windows().nominalWindow.visible());
  EXPECT_EQ(c.windows().nominalFrequencyBox.text(), "0,000,000.00000");

  c.windows().nominalFrequencyBox.setFromView("10,000,000.00000");
  c.menus().normalize.click();
  EXPECT_FALSE(c.menus().normalize.checked());
  EXPECT_FALSE(c.windows().nominalWindow.visible());
  EXPECT_EQ(c.windows().nominalFrequencyBox.text(), "10,000,000.00000");

  instrument.run();
  c.menus().normalize.click();
  EXPECT_TRUE(c.windows().nominalWindow.visible());
  EXPECT_EQ(c.windows().nominalFrequencyBox.text(), "5,000,000.00000");
}

struct QuestionCase {
  bool checkedBefore;  // switched on while the console was counting
  const char* typed;   // nullptr: the operator left the box alone
  bool answer;
  bool checkedAfter;
  const char* shown;
};

class NormalizationQuestionTest : public DutDisplayTest,
                                  public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(NormalizationQuestionTest, NeverSwitchesNormalizationOffNorOverwritesATypedValue) {
  const QuestionCase& k = GetParam();
  app::Console& c = preparedConsole();
  c.menus().initialization.click();
  if (k.checkedBefore) c.menus().normalize.click();
  if (k.typed) c.windows().nominalFrequencyBox.setFromView(k.typed);
  dialogs.yesNoAnswers = {k.answer};
  instrument.run();
  ASSERT_EQ(dialogs.questions.size(), 1u);
  EXPECT_EQ(c.menus().normalize.checked(), k.checkedAfter);
  EXPECT_EQ(c.windows().nominalWindow.visible(), k.checkedAfter);
  EXPECT_EQ(c.windows().nominalFrequencyBox.text(), k.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, NormalizationQuestionTest,
    ::testing::Values(QuestionCase{false, nullptr, true, true, "10,000,012.00000"},
                      QuestionCase{false, nullptr, false, false, ""},
                      QuestionCase{true, nullptr, true, true, "10,000,012.00000"},
                      QuestionCase{true, "10,000,000.00000", true, true, "10,000,000.00000"},
                      QuestionCase{true, nullptr, false, true, "0,000,000.00000"}));

}  // namespace
}  // namespace tessarin::test
