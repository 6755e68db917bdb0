#pragma once

#include <string>

class Console;

// Highest count frequency and lowest the instrument can be tuned to, in hertz.
inline constexpr double kMaxDutHz = 31000000.0;
inline constexpr double kMinDutHz = 1000000.0;

// "&Initialization": opens the port, then asks the instrument for frequency counts.
void startInitialization(Console& c);

// A reply line while no run is on: count replies until the DUT frequency is accepted, then the
// samples of the three refinement stages; every line is also checked for a lock reply. Lines
// longer than eight characters are cut to their count digits.
void handleInitializationReply(Console& c, std::string& line);

// Least-squares slope of the current stage's samples against time; sets the measured, rounded
// and programmed DUT frequencies and shows them in the "DUT Frequency" window.
void fitStageFrequency(Console& c);
