#pragma once

#include <initializer_list>

namespace tessarin::app {

class Console;
class MenuItem;

// The radio rule: the chosen item is checked first, then the others of its group are cleared,
// whether or not it was checked already.
void chooseRadioItem(MenuItem& chosen, std::initializer_list<MenuItem*> others);

void chooseFiltered(Console& c);
void chooseNonFiltered(Console& c);
void chooseFrequencyData(Console& c);
void choosePhaseData(Console& c);
void chooseCom1(Console& c);
void chooseCom2(Console& c);
void chooseCom3(Console& c);
void chooseCom4(Console& c);

}  // namespace tessarin::app
