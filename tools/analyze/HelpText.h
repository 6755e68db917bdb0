#pragma once

#include <string>

namespace tessarin::analyze {

// What --help prints: what the program does, every option, an example.
extern const char* const kHelpText;

// What --version prints, in the usual GNU form.
std::string versionText();

}  // namespace tessarin::analyze
