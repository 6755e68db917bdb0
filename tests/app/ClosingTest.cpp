#include "app/Closing.h"
#include "support/ConsoleFixture.h"

class ClosingTest : public ConsoleFixture {};

TEST_F(ClosingTest, QuitSendsMk0OnlyWhenTheLinkIsOpen) {
  Console& c = startUp();
  c.menu.mnuQuit.click();
  EXPECT_TRUE(serial.writes.empty());
  EXPECT_EQ(application.quitCalls, 1);

  QString error;
  serial.open(1, error);
  c.st.intPortOpen = 1;
  MDIForm_QueryUnload(c);
  MDIForm_Unload(c);
  EXPECT_EQ(serial.writes, std::vector<std::string>{"MK0\r\n"});
  EXPECT_EQ(application.quitCalls, 2);
}

TEST_F(ClosingTest, ChildWindowsProtectThemselvesUntilTheConsoleCloses) {
  Console& c = startUp();
  c.menu.mnuAbout.click();
  c.menu.mnuAbout.click();
  EXPECT_TRUE(c.win.frmOrlak.visible());
  EXPECT_TRUE(c.win.frmOrlak.queryUnload());
  EXPECT_FALSE(c.win.frmOrlak.visible());
  c.win.frmScale.setVisible(true);
  EXPECT_TRUE(c.win.frmScale.queryUnload());
  EXPECT_FALSE(c.win.frmScale.visible());
  EXPECT_TRUE(c.win.frmData.queryUnload());
  EXPECT_TRUE(c.win.frmStat.queryUnload());
  EXPECT_TRUE(c.win.frmData.visible());

  MDIForm_QueryUnload(c);
  EXPECT_FALSE(c.win.frmData.queryUnload());
  EXPECT_FALSE(c.win.frmScale.queryUnload());
}
