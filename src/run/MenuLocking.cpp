#include "run/MenuLocking.h"

#include "app/Console.h"

namespace {

void setScaleBoxesEnabled(Console& c, bool enabled) {
  for (TextBox& box : c.win.txtScale) {
    c.events.processPendingEvents();
    box.setEnabled(enabled);
  }
}

}  // namespace

void LockMenusForRun(Console& c) {
  Menus& m = c.menu;
  for (MenuItem* item :
       {&m.mnuPrint, &m.mnuLimits, &m.mnuAuto, &m.mnuFreqData, &m.mnuPhaseData, &m.mnuSaveP,
        &m.mnuFiltered, &m.mnuNonFiltered, &m.mnuDispF, &m.mnuDispTIE, &m.mnuTau, &m.mnuFormat,
        &m.mnuCom1, &m.mnuCom2, &m.mnuCom3, &m.mnuCom4, &m.mnuSave})
    item->setEnabled(false);
  c.win.txtFprog.setEnabled(false);
  c.win.txtFreq.setEnabled(false);
  c.win.txtFormat.setEnabled(false);
  c.win.List1.setEnabled(false);
  setScaleBoxesEnabled(c, false);
}

void UnlockMenusAfterRun(Console& c) {
  Menus& m = c.menu;
  for (MenuItem* item : {&m.mnuPrint, &m.mnuStart, &m.mnuLimits, &m.mnuAuto, &m.mnuFreqData,
                         &m.mnuPhaseData, &m.mnuSaveP, &m.mnuDispF, &m.mnuDispTIE, &m.mnuFiltered,
                         &m.mnuNonFiltered, &m.mnuTau, &m.mnuFormat, &m.mnuSave})
    item->setEnabled(true);
  c.win.txtFprog.setEnabled(true);
  c.win.txtFreq.setEnabled(true);
  c.win.txtFormat.setEnabled(true);
  c.win.List1.setEnabled(true);
  setScaleBoxesEnabled(c, true);
}
