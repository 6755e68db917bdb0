#pragma once

#include <QString>

#include "app/Console.h"

namespace tessarin::link {

// A frequency as the DUT windows show it, "0,000,000.00000": at least seven integer digits,
// grouped by threes with ",", exactly five decimals.
QString formatGroupedFrequency(double hz);

// A frequency as "0000.00000": at least four integer digits, no grouping, exactly five decimals.
QString formatFrequency4(double hz);

// "&Normalize DUT Frequency": switching on shows the "Nominal DUT" window with the measured DUT
// frequency rounded to whole hertz; switching off only hides it.
void toggleNormalization(app::Console& c);

// Asks whether to normalize to the nominal DUT frequency and remembers the answer. Yes switches
// normalization on; when it is on already it stays on, and a nominal value the operator typed is
// kept while one the console wrote earlier is brought up to date.
void askToNormalize(app::Console& c);

}  // namespace tessarin::link
