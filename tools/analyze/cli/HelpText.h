#pragma once

#include <string>

namespace tessarin::analyze::cli {

// What --help prints: what the program does, every option under its heading, an example.
std::string helpText();

// What --version prints, in the usual GNU form.
std::string versionText();

}  // namespace tessarin::analyze::cli
