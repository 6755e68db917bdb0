#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/InstrumentModel.h"

struct SimOptions {
  InstrumentOptions instrument;
  std::string linkPath;    // symlink to create to the pseudo-terminal
  std::string devicePath;  // serve this serial device instead of a new pseudo-terminal
  std::string logPath;     // command log; standard error when empty
};

extern const char* const kSimUsage;

// Reads the command line (without the program name). On a bad option returns nullopt and fills
// `error`.
std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args, std::string& error);
