#pragma once

namespace tessarin::app {
class Console;
}

namespace tessarin::app::plots {

// The data plot shows the frequency difference or the phase difference of the samples; the
// choice renames its title and is read at the next Start.
void showFrequencyDifference(Console& c);
void showPhaseDifference(Console& c);

}  // namespace tessarin::app::plots
