#pragma once

#include <iostream>

namespace tessarin::analyze::cli {

// The exit status of a command line that cannot be carried out as given.
constexpr int kUsageError = 1;
// The exit status of input that cannot be used.
constexpr int kUnusableInput = 2;
// The exit status of results that fail a mask of --mask, written in full all the same.
constexpr int kMaskFailed = 3;

// Starts a line to the operator on `out`, standard error unless another is given, with the
// program's name.
inline std::ostream& complain(std::ostream& out = std::cerr) { return out << "tessarin-analyze: "; }

}  // namespace tessarin::analyze::cli
