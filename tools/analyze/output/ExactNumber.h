#pragma once

#include <string>

namespace tessarin::analyze::output {

// The shortest text that reads back as the same double, as CSV gives every figure; empty for NaN.
std::string exact(double value);

}  // namespace tessarin::analyze::output
