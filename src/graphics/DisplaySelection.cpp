#include "graphics/DisplaySelection.h"

#include "app/Console.h"
#include "app/OptionMenus.h"

void mnuDispF_Click(Console& c) {
  c.DynaPlot1.setTitle("Frequency Diff");
  ChooseRadioItem(c.menu.mnuDispF, {&c.menu.mnuDispTIE});
}

void mnuDispTIE_Click(Console& c) {
  c.DynaPlot1.setTitle("Phase Diff");
  ChooseRadioItem(c.menu.mnuDispTIE, {&c.menu.mnuDispF});
}
