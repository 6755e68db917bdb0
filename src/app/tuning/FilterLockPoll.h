#pragma once

namespace tessarin::app {
class Console;
}

namespace tessarin::app::tuning {

// One tick of the lock poll (every second while waiting for the XTAL filter): asks for the lock
// state and, once a "CL1" reply has come in, stops polling, enables Start and offers
// normalization.
void pollFilterLock(Console& c);

}  // namespace tessarin::app::tuning
