#pragma once

#include "cli/Options.h"
#include "records/RecordedRun.h"

namespace tessarin::analyze::commands {

// --dynamic: run number `run` of `file` (from 1; with --join, every run as one series) analysed
// window by window, written as a table or CSV, and with --plot drawn as a colour map. Messages go
// to standard error. Gives the exit status: 0, or 2 for a series it cannot use (no tau, shorter
// than one window).
int analyseDynamic(const cli::Options& options, const records::InputFile& file, int run, int argc,
                   char** argv);

}  // namespace tessarin::analyze::commands
