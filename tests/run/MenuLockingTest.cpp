#include <gtest/gtest.h>

#include "run/MenuLocking.h"
#include "support/ConsoleFixture.h"

namespace {

class MenuLockingTest : public ConsoleFixture {
 protected:
  // Records, in order, every item whose state changes and every processing of pending events.
  void recordChanges(Console& c) {
    for (const Menus::Node& node : c.menu.tree()) {
      MenuItem* item = node.item;
      item->changed = [this, item] { changes.push_back(item->name()); };
    }
    c.win.txtFprog.changed = [this] { changes.push_back("txtFprog"); };
    c.win.txtFreq.changed = [this] { changes.push_back("txtFreq"); };
    c.win.txtFormat.changed = [this] { changes.push_back("txtFormat"); };
    c.win.List1.changed = [this] { changes.push_back("List1"); };
    for (int i = 0; i < 8; ++i)
      c.win.txtScale[i].changed = [this, i] { changes.push_back(QString("txtScale%1").arg(i)); };
    events.onProcess = [this] { changes.push_back("events"); };
  }

  // The expected sequence: `items`, then each scale box after a processing of pending events.
  static std::string withScaleBoxes(QStringList items) {
    for (int i = 0; i < 8; ++i) items << "events" << QString("txtScale%1").arg(i);
    return items.join(' ').toStdString();
  }
  std::string recorded() const { return changes.join(' ').toStdString(); }

  QStringList changes;
};

TEST_F(MenuLockingTest, RunLocksItemsInOrder) {
  Console& c = startUp();
  c.menu.mnuStart.setEnabled(true);
  c.menu.mnuFormat.setEnabled(true);
  recordChanges(c);
  LockMenusForRun(c);
  EXPECT_EQ(
      recorded(),
      withScaleBoxes({"mnuPrint", "mnuLimits",   "mnuAuto",        "mnuFreqData", "mnuPhaseData",
                      "mnuSaveP", "mnuFiltered", "mnuNonFiltered", "mnuDispF",    "mnuDispTIE",
                      "mnuTau",   "mnuFormat",   "mnuCom1",        "mnuCom2",     "mnuCom3",
                      "mnuCom4",  "mnuSave",     "txtFprog",       "txtFreq",     "txtFormat",
                      "List1"}));
  EXPECT_TRUE(c.menu.mnuStart.enabled());
  EXPECT_FALSE(c.win.txtScale[7].enabled());
}

TEST_F(MenuLockingTest, StopUnlocksItemsInOrderButKeepsThePortLocked) {
  Console& c = startUp();
  LockMenusForRun(c);
  recordChanges(c);
  UnlockMenusAfterRun(c);
  EXPECT_EQ(recorded(),
            withScaleBoxes({"mnuPrint", "mnuStart", "mnuLimits", "mnuAuto", "mnuFreqData",
                            "mnuPhaseData", "mnuSaveP", "mnuDispF", "mnuDispTIE", "mnuFiltered",
                            "mnuNonFiltered", "mnuTau", "mnuFormat", "mnuSave", "txtFprog",
                            "txtFreq", "txtFormat", "List1"}));
  for (MenuItem* port : {&c.menu.mnuCom1, &c.menu.mnuCom2, &c.menu.mnuCom3, &c.menu.mnuCom4})
    EXPECT_FALSE(port->enabled()) << port->name().toStdString();
  EXPECT_TRUE(c.win.txtScale[0].enabled());
}

}  // namespace
