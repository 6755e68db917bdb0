#pragma once

#include <string>

#include "app/Console.h"

namespace tessarin::app {

// "&Tau": shows the tau list and puts it in use, or hides it and goes back to 1 s.
void toggleTauList(Console& c);

// A run's sample interval.
struct Tau {
  double milliseconds = 1000;
  double seconds = 1;
  std::string command;  // "TA" and the milliseconds as eight hexadecimal digits
};

// The run's tau from the "&Tau" check mark and the selected list entry (1 s when the list is not
// in use or nothing is selected).
Tau evaluateTau(const Console& c);

}  // namespace tessarin::app
