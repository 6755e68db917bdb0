#pragma once

#include <string>
#include <vector>

namespace tessarin::coverage {

// The numbers of a comma-separated list on the validation programs' command lines ("1000,10000").
std::vector<int> numbersFrom(const std::string& list);

// Writes a table to `path`, or to standard output when no path was given.
void writeTable(const std::string& path, const std::string& text);

}  // namespace tessarin::coverage
