#pragma once

namespace tessarin::app {
class Console;
}

namespace tessarin::app::tuning {

// "&Normalize DUT Frequency": switching on shows the "Nominal DUT" window with the measured DUT
// frequency rounded to whole hertz; switching off only hides it.
void toggleNormalization(Console& c);

// Asks whether to normalize to the nominal DUT frequency and remembers the answer. Yes switches
// normalization on; when it is on already it stays on, and a nominal value the operator typed is
// kept while one the console wrote earlier is brought up to date.
void askToNormalize(Console& c);

}  // namespace tessarin::app::tuning
