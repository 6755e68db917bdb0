#pragma once

#include "cli/Options.h"

namespace tessarin::analyze::commands {

// Several FILEs: each run chosen of each file analysed as one input alone would be, then written
// as one table (a block per run, headed by its file and run), one CSV with a first column naming
// the source, and one picture of every trace. An input that cannot be analysed is told of and
// left out (exit 2 after the others are written). Returns the exit status.
int analyseSeveral(const cli::Options& options, int argc, char** argv);

}  // namespace tessarin::analyze::commands
