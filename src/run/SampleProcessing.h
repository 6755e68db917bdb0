#pragma once

#include <string>

class Console;

// One reply line during a run: an eight-digit hexadecimal reading of the 120 MHz reference.
// Extends the phase and frequency series, drops jumps, appends the stored quantity to the data
// file, feeds the data plot, schedules the stability analysis and ends the run at sample 999999.
// Lines of any other length change nothing.
void handleSampleLine(Console& c, const std::string& line);
