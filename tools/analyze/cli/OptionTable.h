#pragma once

#include <span>
#include <string_view>

namespace tessarin::analyze::cli {

// One command-line option of tessarin-analyze: what the parser takes and what --help says of it,
// in one place so that the two cannot drift apart.
struct OptionEntry {
  std::string_view name;       // without the dashes: "stat"
  std::string_view shortName;  // "h" for -h, or empty
  std::string_view valueName;  // "LIST", or empty for a switch
  std::string_view section;    // the --help heading it is listed under
  std::string_view help;       // its lines in --help, '\n' between them
};

// Every option, in the order --help lists them.
std::span<const OptionEntry> optionTable();

// The option named `name` (without dashes, long or short); nullptr for none.
const OptionEntry* optionNamed(std::string_view name);

}  // namespace tessarin::analyze::cli
