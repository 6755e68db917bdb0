#pragma once

#include <string_view>

namespace tessarin::app {
class Console;
}

namespace tessarin::app::tuning {

// "&Initialization": opens the port when needed, then asks the instrument for frequency counts.
void startInitialization(Console& c);

// A reply of more than eight characters while counting.
void takeCountReply(Console& c, std::string_view line);

// A sample line during a refinement stage. When the stage completes, the "DUT Frequency" window
// shows the fit; after the last stage the console is ready, in filtered mode once the filter has
// locked.
void takeStageSample(Console& c, std::string_view line);

}  // namespace tessarin::app::tuning
