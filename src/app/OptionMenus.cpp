#include "app/OptionMenus.h"

#include "app/Console.h"

namespace tessarin::app {

void chooseRadioItem(MenuItem& chosen, std::initializer_list<MenuItem*> others) {
  chosen.setChecked(true);
  for (MenuItem* other : others) other->setChecked(false);
}

void chooseFiltered(Console& c) { chooseRadioItem(c.menus().filtered, {&c.menus().nonFiltered}); }

void chooseNonFiltered(Console& c) {
  chooseRadioItem(c.menus().nonFiltered, {&c.menus().filtered});
}

void chooseFrequencyData(Console& c) {
  chooseRadioItem(c.menus().frequencyData, {&c.menus().phaseData});
}

void choosePhaseData(Console& c) {
  chooseRadioItem(c.menus().phaseData, {&c.menus().frequencyData});
}

void chooseCom1(Console& c) {
  chooseRadioItem(c.menus().com1, {&c.menus().com2, &c.menus().com3, &c.menus().com4});
}

void chooseCom2(Console& c) {
  chooseRadioItem(c.menus().com2, {&c.menus().com1, &c.menus().com3, &c.menus().com4});
}

void chooseCom3(Console& c) {
  chooseRadioItem(c.menus().com3, {&c.menus().com1, &c.menus().com2, &c.menus().com4});
}

void chooseCom4(Console& c) {
  chooseRadioItem(c.menus().com4, {&c.menus().com1, &c.menus().com2, &c.menus().com3});
}

}  // namespace tessarin::app
