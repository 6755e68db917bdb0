#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <utility>
#include <vector>

#include "app/runs/RunFixture.h"

namespace tessarin::test {
namespace {

// Whether each menu item and each box of the tool windows is enabled, by name, in menu order.
std::vector<std::pair<QString, bool>> enabledFlags(app::Console& c) {
  std::vector<std::pair<QString, bool>> flags;
  for (const app::Menus::Node& node : c.menus().tree())
    flags.emplace_back(node.item->name(), node.item->enabled());
  app::Windows& w = c.windows();
  flags.emplace_back("measuredFrequencyBox", w.measuredFrequencyBox.enabled());
  flags.emplace_back("programmedFrequencyBox", w.programmedFrequencyBox.enabled());
  flags.emplace_back("nominalFrequencyBox", w.nominalFrequencyBox.enabled());
  flags.emplace_back("tauList", w.tauList.enabled());
  for (std::size_t i = 0; i < w.scaleBoxes.size(); ++i)
    flags.emplace_back(QString("scaleBoxes[%1]").arg(i), w.scaleBoxes[i].enabled());
  return flags;
}

// The names that are enabled in `before` and disabled in `after`, or the other way round.
std::string changed(const std::vector<std::pair<QString, bool>>& before,
                    const std::vector<std::pair<QString, bool>>& after, bool wasEnabled) {
  QStringList names;
  for (std::size_t i = 0; i < before.size(); ++i)
    if (before[i].second == wasEnabled && after[i].second != wasEnabled) names << before[i].first;
  return names.join('\n').toStdString();
}

std::string golden(const QString& name) {
  QFile file(GOLDEN_DIR "/" + name);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << name.toStdString();
  return QString::fromUtf8(file.readAll()).trimmed().toStdString();
}

class MenuLockingTest : public RunFixture {};

TEST_F(MenuLockingTest, RunDisablesEverythingThatWouldChangeTheMeaningOfItsSamples) {
  app::Console& c = initializedConsole();
  const auto ready = enabledFlags(c);
  c.menus().startStop.click();
  EXPECT_EQ(changed(ready, enabledFlags(c), true), golden("run-locked.txt"));
}

TEST_F(MenuLockingTest, StopEnablesTheLockedItemsAgainButThePortItems) {
  app::Console& c = initializedConsole();
  c.menus().startStop.click();
  const auto running = enabledFlags(c);
  c.menus().startStop.click();
  EXPECT_EQ(changed(running, enabledFlags(c), false), golden("run-unlocked.txt"));
}

}  // namespace
}  // namespace tessarin::test
