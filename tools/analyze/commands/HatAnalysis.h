#pragma once

#include "cli/Options.h"

namespace tessarin::analyze::commands {

// --hat: the pair files read, placed on one time line and cut to the span they share, and each
// oscillator's deviation separated from them, written as a table or CSV, and with --plot drawn one
// curve per oscillator. Messages go to standard error. Gives the exit status: 0, or 2 for pair
// files that cannot be used or tied into one hat.
int analyseHat(const cli::Options& options, int argc, char** argv);

}  // namespace tessarin::analyze::commands
