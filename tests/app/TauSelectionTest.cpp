#include "app/Closing.h"
#include "app/runs/RunFixture.h"

namespace tessarin::test {
namespace {

class TauSelectionTest : public RunFixture {
 protected:
  struct RunTau {
    std::string command;  // the tau command the start sent
    double firstTau = 0;  // the shortest tau on the stability plot, in seconds
  };
  // Starts a run, lets eleven sample lines come (ten samples: an analysis), stops it again.
  RunTau tauOfARun(app::Console& c) {
    const std::size_t before = serial.writes.size();
    c.menus().startStop.click();
    EXPECT_EQ(c.state(), app::RunState::Running);
    instrument->run(11);
    c.menus().startStop.click();
    RunTau tau;
    for (const std::string& command : commandsFrom(before))
      if (command.rfind("TA", 0) == 0) tau.command = command;
    const std::vector<double>& taus = stabilityPlot.curve("Curve2").x;
    if (!taus.empty()) tau.firstTau = taus.front();
    return tau;
  }
};

TEST_F(TauSelectionTest, RunStartsWithTheTauCommandOfTheSelectedListEntry) {
  const struct {
    const char* entry;
    double seconds;
    const char* command;
  } cases[] = {{"1", 1, "TA000003E8"},     {"2", 2, "TA000007D0"},    {"3", 3, "TA00000BB8"},
               {"5", 5, "TA00001388"},     {"10", 10, "TA00002710"},  {"20", 20, "TA00004E20"},
               {"30", 30, "TA00007530"},   {"50", 50, "TA0000C350"},  {"100", 100, "TA000186A0"},
               {"200", 200, "TA00030D40"}, {"300", 300, "TA000493E0"}};
  app::Console& c = initializedConsole();
  c.menus().tau.click();
  ASSERT_EQ(c.windows().tauList.items().size(), std::size(cases));
  for (const auto& tc : cases) {
    c.windows().tauList.setFromView(
        static_cast<int>(c.windows().tauList.items().indexOf(tc.entry)));
    const RunTau tau = tauOfARun(c);
    EXPECT_EQ(tau.command, tc.command) << tc.entry;
    EXPECT_DOUBLE_EQ(tau.firstTau, tc.seconds) << tc.entry;
  }
}

TEST_F(TauSelectionTest, RunIsAtOneSecondUnlessTheListIsInUseWithASelection) {
  const struct {
    bool inUse;
    int selected;
  } cases[] = {{false, -1}, {false, 7}, {true, -1}};
  app::Console& c = initializedConsole();
  for (const auto& tc : cases) {
    if (c.menus().tau.checked() != tc.inUse) c.menus().tau.click();
    c.windows().tauList.setFromView(tc.selected);
    const RunTau tau = tauOfARun(c);
    EXPECT_EQ(tau.command, "TA000003E8") << tc.inUse << " " << tc.selected;
    EXPECT_DOUBLE_EQ(tau.firstTau, 1) << tc.inUse << " " << tc.selected;
  }
}

TEST_F(TauSelectionTest, TauItemTogglesTheListWindow) {
  app::Console& c = startConsole();
  ASSERT_FALSE(c.menus().tau.checked());
  c.menus().tau.click();
  EXPECT_TRUE(c.menus().tau.checked());
  EXPECT_TRUE(c.windows().tauWindow.visible());

  // The close button only hides the window; the list stays in use.
  EXPECT_TRUE(c.windows().tauWindow.onCloseRequest());
  EXPECT_FALSE(c.windows().tauWindow.visible());
  EXPECT_TRUE(c.menus().tau.checked());

  c.menus().tau.click();
  EXPECT_FALSE(c.menus().tau.checked());
  EXPECT_FALSE(c.windows().tauWindow.visible());
  c.menus().tau.click();
  EXPECT_TRUE(c.windows().tauWindow.visible());

  app::prepareToClose(c);
  EXPECT_FALSE(c.windows().tauWindow.onCloseRequest());
}

}  // namespace
}  // namespace tessarin::test
