#pragma once

#include <string_view>

#include "app/Console.h"

namespace tessarin::link {

// Keeps the lock state of a lock reply ("CL1" locked, "CL0" not): a line whose second character
// is "L".
void noteLockReply(app::Console& c, std::string_view line);

// One tick of the lock poll (every second while waiting for the XTAL filter): asks for the lock
// state and, once a "CL1" reply has come in, stops polling, enables Start and offers
// normalization.
void pollFilterLock(app::Console& c);

}  // namespace tessarin::link
