#include <gtest/gtest.h>

#include <QFile>
#include <chrono>

#include "app/runs/RunFixture.h"

namespace tessarin::test {
namespace {

using namespace std::chrono_literals;

class RunWatchTest : public RunFixture {
 protected:
  // The watch timer's tick `after` the last sample line.
  QString statusAfterSilenceOf(app::Console& c, std::chrono::milliseconds after) {
    clock.now = lastSample + after;
    watchTimer.tick();
    return c.status();
  }
  void sample() {
    lastSample = clock.now;
    feed({"00000000"});
  }
  std::chrono::milliseconds lastSample{0};
};

// The silence the console tells grows with tau: max(10 s, 10 tau). It is told in whole seconds,
// and the next sample says the run is on again.
TEST_F(RunWatchTest, ASilenceLongerThanTenTausIsToldUntilTheNextSample) {
  const struct {
    const char* tauEntry;  // nothing: the default 1 s
    std::chrono::seconds told;
  } cases[] = {{nullptr, 10s}, {"5", 50s}};
  app::Console& c = initializedConsole();
  for (const auto& t : cases) {
    SCOPED_TRACE(t.told.count());
    if (t.tauEntry) {
      c.menus().tau.click();
      c.windows().tauList.setFromView(
          static_cast<int>(c.windows().tauList.items().indexOf(t.tauEntry)));
    }
    clock.now += 1000s;
    c.menus().startStop.click();
    EXPECT_TRUE(watchTimer.enabledFlag);
    sample();
    sample();
    EXPECT_EQ(statusAfterSilenceOf(c, t.told - 1ms), "Running...");
    const QString told = QString("No samples for %1 s").arg(t.told.count());
    EXPECT_EQ(statusAfterSilenceOf(c, t.told), told);
    EXPECT_EQ(statusAfterSilenceOf(c, t.told + 15s + 999ms),
              QString("No samples for %1 s").arg((t.told + 15s).count()));
    sample();
    EXPECT_EQ(c.status(), "Running...");
    c.menus().startStop.click();
    EXPECT_FALSE(watchTimer.enabledFlag);
  }
}

// The lines of the last second go to the disk at the tick; a file that cannot be synced says so
// rather than passing for safe.
TEST_F(RunWatchTest, ATickSyncsTheLinesWrittenAndAFailedSyncIsSaid) {
  app::Console& c = initializedConsole();
  c.menus().startStop.click();
  sample();
  sample();
  EXPECT_EQ(statusAfterSilenceOf(c, 1s), "Running...");
  sample();
  ASSERT_TRUE(QFile::remove(pathOf("osc1.DAT")));
  EXPECT_EQ(statusAfterSilenceOf(c, 1s), "Data file not synced to the disk: " + pathOf("osc1.DAT") +
                                             ": No such file or directory");
}

}  // namespace
}  // namespace tessarin::test
