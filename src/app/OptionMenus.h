#pragma once

#include <initializer_list>

class Console;
class MenuItem;

// The radio rule: the chosen item is checked first, then the others of its group are cleared,
// whether or not it was checked already.
void ChooseRadioItem(MenuItem& chosen, std::initializer_list<MenuItem*> others);

void mnuFiltered_Click(Console& c);
void mnuNonFiltered_Click(Console& c);
void mnuFreqData_Click(Console& c);
void mnuPhaseData_Click(Console& c);
void mnuCom1_Click(Console& c);
void mnuCom2_Click(Console& c);
void mnuCom3_Click(Console& c);
void mnuCom4_Click(Console& c);
