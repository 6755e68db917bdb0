#include "app/Closing.h"
#include "app/runs/RunFixture.h"

namespace tessarin::test {
namespace {

class ClosingTest : public RunFixture {
 protected:
  // Everything that sends a command while the console runs.
  void tryToSendMore(app::Console& c) {
    feed({"00001234", "00001240", "CL1", "CB001E8480"});
    timer.tick();
    clock.now += std::chrono::seconds(5);
    feed({"00001250"});
    c.menus().initialization.click();
    c.menus().startStop.click();
    c.menus().quit.click();
  }
};

TEST_F(ClosingTest, QuitWithoutAnOpenPortSendsNothingAndEndsTheProgram) {
  app::Console& c = startConsole();
  c.menus().quit.click();
  EXPECT_TRUE(serial.writes.empty());
  EXPECT_EQ(application.quitCalls, 1);
}

TEST_F(ClosingTest, QuitAndClosingTheMainWindowSendMk0AndThenNothingMore) {
  enum class Where { Ready, Running, WaitingForLock };
  const struct {
    const char* name;
    Where where;
    bool closeMainWindow;
  } cases[] = {
      {"quit when ready", Where::Ready, false},
      {"quit during a run", Where::Running, false},
      {"quit while waiting for the lock", Where::WaitingForLock, false},
      {"close when ready", Where::Ready, true},
      {"close during a run", Where::Running, true},
      {"close while waiting for the lock", Where::WaitingForLock, true},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    serial.opened = false;
    application.quitCalls = 0;
    app::Console& c = initializedConsole(tc.where == Where::WaitingForLock);
    if (tc.where == Where::Running) {
      c.menus().startStop.click();
      ASSERT_EQ(c.state(), app::RunState::Running);
      serial.writes.clear();
    }
    if (tc.closeMainWindow) {
      app::prepareToClose(c);
      app::quitConsole(c);
    } else {
      c.menus().quit.click();
    }
    EXPECT_EQ(serial.commands(), std::vector<std::string>{"MK0"});
    EXPECT_EQ(application.quitCalls, 1);
    EXPECT_EQ(c.state(), app::RunState::Closed);
    EXPECT_FALSE(timer.enabled());

    const QString status = c.status();
    tryToSendMore(c);
    EXPECT_EQ(serial.commands(), std::vector<std::string>{"MK0"});
    EXPECT_EQ(c.status(), status);
  }
}

TEST_F(ClosingTest, ToolWindowsOnlyHideAndPlotWindowsStayUntilTheConsoleCloses) {
  app::Console& c = startConsole();
  app::Windows& w = c.windows();
  c.menus().aboutMenu.click();
  c.menus().aboutMenu.click();
  EXPECT_TRUE(w.aboutWindow.visible());
  for (app::ChildWindow* tool :
       {&w.dutFrequencyWindow, &w.tauWindow, &w.nominalWindow, &w.scalesWindow, &w.aboutWindow}) {
    tool->setVisible(true);
    EXPECT_TRUE(tool->onCloseRequest()) << tool->name().toStdString();
    EXPECT_FALSE(tool->visible()) << tool->name().toStdString();
  }
  for (app::ChildWindow* plot : {&w.dataWindow, &w.stabilityWindow}) {
    EXPECT_TRUE(plot->onCloseRequest()) << plot->name().toStdString();
    EXPECT_TRUE(plot->visible()) << plot->name().toStdString();
  }

  app::prepareToClose(c);
  for (app::ChildWindow* window : {&w.dataWindow, &w.stabilityWindow, &w.dutFrequencyWindow,
                                   &w.tauWindow, &w.nominalWindow, &w.scalesWindow, &w.aboutWindow})
    EXPECT_FALSE(window->onCloseRequest()) << window->name().toStdString();
}

}  // namespace
}  // namespace tessarin::test
