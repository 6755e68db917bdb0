#pragma once

#include <string_view>

#include "app/Console.h"

namespace tessarin::link {

// "&Initialization": opens the port when needed, then asks the instrument for frequency counts.
void startInitialization(app::Console& c);

// A reply of more than eight characters while counting.
void takeCountReply(app::Console& c, std::string_view line);

// A sample line during a refinement stage. When the stage completes, the "DUT Frequency" window
// shows the fit; after the last stage the console is ready, in filtered mode once the filter has
// locked.
void takeStageSample(app::Console& c, std::string_view line);

}  // namespace tessarin::link
