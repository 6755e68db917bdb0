#pragma once

#include <string>

namespace tessarin::analyze::commands {

// --verify: checks the run report whose JSON record is `recordPath`. The input file must still
// have the SHA-256 the record gives, and the analysis, made again by this program from that file
// with the recorded arguments in the recorded folder, must give every figure of the record again:
// bit for bit when this is the build that made the report (the same SHA-256 of the program's
// file), within 1e-12 relative otherwise. Tells on standard output that it holds and returns 0;
// else names on standard error each figure that differs and the first input line that changed,
// and returns 2.
int verifyReport(const std::string& recordPath, int argc, char** argv);

}  // namespace tessarin::analyze::commands
