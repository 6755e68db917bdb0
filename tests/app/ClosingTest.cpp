#include "app/Closing.h"
#include "support/ConsoleFixture.h"

class ClosingTest : public ConsoleFixture {};

TEST_F(ClosingTest, QuitSendsMk0OnlyWhenTheLinkIsOpen) {
  Console& c = startUp();
  c.menus.quit.click();
  EXPECT_TRUE(serial.writes.empty());
  EXPECT_EQ(application.quitCalls, 1);

  QString error;
  serial.open(1, error);
  c.st.intPortOpen = 1;
  prepareToClose(c);
  closeConsole(c);
  EXPECT_EQ(serial.writes, std::vector<std::string>{"MK0\r\n"});
  EXPECT_EQ(application.quitCalls, 2);
}

TEST_F(ClosingTest, ChildWindowsProtectThemselvesUntilTheConsoleCloses) {
  Console& c = startUp();
  c.menus.aboutMenu.click();
  c.menus.aboutMenu.click();
  EXPECT_TRUE(c.windows.aboutWindow.visible());
  EXPECT_TRUE(c.windows.aboutWindow.queryUnload());
  EXPECT_FALSE(c.windows.aboutWindow.visible());
  c.windows.scalesWindow.setVisible(true);
  EXPECT_TRUE(c.windows.scalesWindow.queryUnload());
  EXPECT_FALSE(c.windows.scalesWindow.visible());
  EXPECT_TRUE(c.windows.dataWindow.queryUnload());
  EXPECT_TRUE(c.windows.stabilityWindow.queryUnload());
  EXPECT_TRUE(c.windows.dataWindow.visible());

  prepareToClose(c);
  EXPECT_FALSE(c.windows.dataWindow.queryUnload());
  EXPECT_FALSE(c.windows.scalesWindow.queryUnload());
}
