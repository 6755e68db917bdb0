#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/InstrumentModel.h"

namespace tessarin::sim {

struct SimOptions {
  InstrumentOptions instrument;
  std::string linkPath;    // symlink to create to the pseudo-terminal
  std::string devicePath;  // serve this serial device instead of a new pseudo-terminal
  std::string logPath;     // the log; standard error when empty
  bool showHelp = false;
  bool showVersion = false;
};

extern const char* const kSimUsage;

// Reads the command line (without the program name); "--name value" and "--name=value" both work.
// Reads the file of --faults. On a bad option returns nullopt and fills `error` with one line.
std::optional<SimOptions> parseSimOptions(const std::vector<std::string>& args, std::string& error);

}  // namespace tessarin::sim
