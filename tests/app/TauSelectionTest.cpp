#include <gtest/gtest.h>

#include "app/TauSelection.h"
#include "support/ConsoleFixture.h"

namespace {

class TauSelectionTest : public ConsoleFixture {};

TEST_F(TauSelectionTest, EachListEntryGivesItsTauCommand) {
  const struct {
    const char* entry;
    double ms;
    const char* command;
  } cases[] = {
      {"1", 1000, "TA000003E8"},     {"2", 2000, "TA000007D0"},    {"3", 3000, "TA00000BB8"},
      {"5", 5000, "TA00001388"},     {"10", 10000, "TA00002710"},  {"20", 20000, "TA00004E20"},
      {"30", 30000, "TA00007530"},   {"50", 50000, "TA0000C350"},  {"100", 100000, "TA000186A0"},
      {"200", 200000, "TA00030D40"}, {"300", 300000, "TA000493E0"}};
  Console& c = startUp();
  c.menus.tau.setChecked(true);
  ASSERT_EQ(c.windows.tauList.items().size(), 11);
  for (const auto& test : cases) {
    c.windows.tauList.setSelectedIndex(
        static_cast<int>(c.windows.tauList.items().indexOf(test.entry)));
    evaluateTau(c);
    EXPECT_EQ(c.st.dblTauMs, test.ms) << test.entry;
    EXPECT_EQ(c.st.dblTauSeconds, test.ms / 1000) << test.entry;
    EXPECT_EQ(c.st.strTauCommand, test.command) << test.entry;
  }
}

TEST_F(TauSelectionTest, OneSecondUnlessTheListIsInUseWithASelection) {
  const struct {
    bool inUse;
    int selected;
  } cases[] = {{false, -1}, {false, 7}, {true, -1}};
  Console& c = startUp();
  for (const auto& test : cases) {
    c.menus.tau.setChecked(test.inUse);
    c.windows.tauList.setSelectedIndex(test.selected);
    evaluateTau(c);
    EXPECT_EQ(c.st.dblTauMs, 1000) << test.inUse << test.selected;
    EXPECT_EQ(c.st.strTauCommand, "TA000003E8") << test.inUse << test.selected;
  }
}

TEST_F(TauSelectionTest, TauItemTogglesTheListWindow) {
  Console& c = startUp();
  ASSERT_FALSE(c.menus.tau.checked());
  c.menus.tau.click();
  EXPECT_TRUE(c.menus.tau.checked());
  EXPECT_TRUE(c.windows.tauWindow.visible());

  // The close button only hides the window; the list stays in use.
  EXPECT_TRUE(c.windows.tauWindow.queryUnload());
  EXPECT_FALSE(c.windows.tauWindow.visible());
  EXPECT_TRUE(c.menus.tau.checked());

  c.menus.tau.click();
  EXPECT_FALSE(c.menus.tau.checked());
  EXPECT_FALSE(c.windows.tauWindow.visible());
  c.menus.tau.click();
  EXPECT_TRUE(c.windows.tauWindow.visible());

  c.st.blnClosing = true;
  EXPECT_FALSE(c.windows.tauWindow.queryUnload());
}

}  // namespace
