#pragma once

#include "cli/Options.h"

namespace tessarin::analyze::commands {

// --list-outliers: reads the input of `options`, tells of its damage and lists the outliers of
// each run asked for (or of the series of --join) on standard output, taking nothing out. Returns
// the exit status.
int listOutliers(const cli::Options& options);

}  // namespace tessarin::analyze::commands
