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
  c.menu.mnuTau.setChecked(true);
  ASSERT_EQ(c.win.List1.items().size(), 11);
  for (const auto& test : cases) {
    c.win.List1.setSelectedIndex(static_cast<int>(c.win.List1.items().indexOf(test.entry)));
    EvaluateTau(c);
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
    c.menu.mnuTau.setChecked(test.inUse);
    c.win.List1.setSelectedIndex(test.selected);
    EvaluateTau(c);
    EXPECT_EQ(c.st.dblTauMs, 1000) << test.inUse << test.selected;
    EXPECT_EQ(c.st.strTauCommand, "TA000003E8") << test.inUse << test.selected;
  }
}

TEST_F(TauSelectionTest, TauItemTogglesTheListWindow) {
  Console& c = startUp();
  ASSERT_FALSE(c.menu.mnuTau.checked());
  c.menu.mnuTau.click();
  EXPECT_TRUE(c.menu.mnuTau.checked());
  EXPECT_TRUE(c.win.frmTau.visible());

  // The close button only hides the window; the list stays in use.
  EXPECT_TRUE(c.win.frmTau.queryUnload());
  EXPECT_FALSE(c.win.frmTau.visible());
  EXPECT_TRUE(c.menu.mnuTau.checked());

  c.menu.mnuTau.click();
  EXPECT_FALSE(c.menu.mnuTau.checked());
  EXPECT_FALSE(c.win.frmTau.visible());
  c.menu.mnuTau.click();
  EXPECT_TRUE(c.win.frmTau.visible());

  c.st.blnClosing = true;
  EXPECT_FALSE(c.win.frmTau.queryUnload());
}

}  // namespace
