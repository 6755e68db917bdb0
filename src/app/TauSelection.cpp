#include "app/TauSelection.h"

#include "app/Console.h"

namespace tessarin::app {

void toggleTauList(Console& c) {
  const bool inUse = !c.menus().tau.checked();
  c.menus().tau.setChecked(inUse);
  c.windows().tauWindow.setVisible(inUse);
}

}  // namespace tessarin::app
