#include <gtest/gtest.h>

#include "run/MenuLocking.h"
#include "support/ConsoleFixture.h"

namespace {

class MenuLockingTest : public ConsoleFixture {
 protected:
  // Records, in order, every item whose state changes and every processing of pending events.
  void recordChanges(Console& c) {
    for (const Menus::Node& node : c.menus.tree()) {
      MenuItem* item = node.item;
      item->changed = [this, item] { changes.push_back(item->name()); };
    }
    c.windows.programmedFrequencyBox.changed = [this] {
      changes.push_back("programmedFrequencyBox");
    };
    c.windows.measuredFrequencyBox.changed = [this] { changes.push_back("measuredFrequencyBox"); };
    c.windows.nominalFrequencyBox.changed = [this] { changes.push_back("nominalFrequencyBox"); };
    c.windows.tauList.changed = [this] { changes.push_back("tauList"); };
    for (int i = 0; i < 8; ++i)
      c.windows.scaleBoxes[i].changed = [this, i] {
        changes.push_back(QString("scaleBoxes%1").arg(i));
      };
    events.onProcess = [this] { changes.push_back("events"); };
  }

  // The expected sequence: `items`, then each scale box after a processing of pending events.
  static std::string withScaleBoxes(QStringList items) {
    for (int i = 0; i < 8; ++i) items << "events" << QString("scaleBoxes%1").arg(i);
    return items.join(' ').toStdString();
  }
  std::string recorded() const { return changes.join(' ').toStdString(); }

  QStringList changes;
};

TEST_F(MenuLockingTest, RunLocksItemsInOrder) {
  Console& c = startUp();
  c.menus.startStop.setEnabled(true);
  c.menus.normalize.setEnabled(true);
  recordChanges(c);
  lockMenusForRun(c);
  EXPECT_EQ(recorded(), withScaleBoxes({"printMenu",
                                        "limits",
                                        "autoscale",
                                        "frequencyData",
                                        "phaseData",
                                        "savePictureMenu",
                                        "filtered",
                                        "nonFiltered",
                                        "showFrequencyDiff",
                                        "showPhaseDiff",
                                        "tau",
                                        "normalize",
                                        "com1",
                                        "com2",
                                        "com3",
                                        "com4",
                                        "saveFileAs",
                                        "programmedFrequencyBox",
                                        "measuredFrequencyBox",
                                        "nominalFrequencyBox",
                                        "tauList"}));
  EXPECT_TRUE(c.menus.startStop.enabled());
  EXPECT_FALSE(c.windows.scaleBoxes[7].enabled());
}

TEST_F(MenuLockingTest, StopUnlocksItemsInOrderButKeepsThePortLocked) {
  Console& c = startUp();
  lockMenusForRun(c);
  recordChanges(c);
  unlockMenusAfterRun(c);
  EXPECT_EQ(
      recorded(),
      withScaleBoxes({"printMenu", "startStop", "limits", "autoscale", "frequencyData", "phaseData",
                      "savePictureMenu", "showFrequencyDiff", "showPhaseDiff", "filtered",
                      "nonFiltered", "tau", "normalize", "saveFileAs", "programmedFrequencyBox",
                      "measuredFrequencyBox", "nominalFrequencyBox", "tauList"}));
  for (MenuItem* port : {&c.menus.com1, &c.menus.com2, &c.menus.com3, &c.menus.com4})
    EXPECT_FALSE(port->enabled()) << port->name().toStdString();
  EXPECT_TRUE(c.windows.scaleBoxes[0].enabled());
}

}  // namespace
