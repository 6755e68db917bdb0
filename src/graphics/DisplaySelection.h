#pragma once

class Console;

// The data plot shows the frequency difference or the phase difference of the samples; the
// choice renames its title and is read by the sample handler.
void showFrequencyDifference(Console& c);
void showPhaseDifference(Console& c);
