#pragma once

#include <string_view>

#include "app/Console.h"

namespace tessarin::app {

// The serial event: one received character, framed into reply lines.
void receiveCharacter(Console& c, char received);

// A complete reply line, handed to whatever the console's state expects: the count or a
// refinement stage of the initialization, or the run's measurement. Lock replies are kept in
// every state but a run. Sample lines that nothing expects (a stream still flowing after a stop)
// are dropped, and the stream is stopped again.
void routeReplyLine(Console& c, std::string_view line);

}  // namespace tessarin::app
