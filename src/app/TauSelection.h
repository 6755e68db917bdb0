#pragma once

namespace tessarin::app {

class Console;

// "&Tau": shows the tau list and puts it in use, or hides it and goes back to 1 s.
void toggleTauList(Console& c);

}  // namespace tessarin::app
