#include "app/OptionMenus.h"

#include "app/Console.h"

void ChooseRadioItem(MenuItem& chosen, std::initializer_list<MenuItem*> others) {
  chosen.setChecked(true);
  for (MenuItem* other : others) other->setChecked(false);
}

void mnuFiltered_Click(Console& c) {
  ChooseRadioItem(c.menu.mnuFiltered, {&c.menu.mnuNonFiltered});
}

void mnuNonFiltered_Click(Console& c) {
  ChooseRadioItem(c.menu.mnuNonFiltered, {&c.menu.mnuFiltered});
}

void mnuFreqData_Click(Console& c) { ChooseRadioItem(c.menu.mnuFreqData, {&c.menu.mnuPhaseData}); }

void mnuPhaseData_Click(Console& c) { ChooseRadioItem(c.menu.mnuPhaseData, {&c.menu.mnuFreqData}); }

void mnuCom1_Click(Console& c) {
  ChooseRadioItem(c.menu.mnuCom1, {&c.menu.mnuCom2, &c.menu.mnuCom3, &c.menu.mnuCom4});
}

void mnuCom2_Click(Console& c) {
  ChooseRadioItem(c.menu.mnuCom2, {&c.menu.mnuCom1, &c.menu.mnuCom3, &c.menu.mnuCom4});
}

void mnuCom3_Click(Console& c) {
  ChooseRadioItem(c.menu.mnuCom3, {&c.menu.mnuCom1, &c.menu.mnuCom2, &c.menu.mnuCom4});
}

void mnuCom4_Click(Console& c) {
  ChooseRadioItem(c.menu.mnuCom4, {&c.menu.mnuCom1, &c.menu.mnuCom2, &c.menu.mnuCom3});
}
