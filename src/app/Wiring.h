#pragma once

namespace tessarin::app {

class Console;

// Binds every menu item, window close request and platform event to its handler.
void connectHandlers(Console& c);

}  // namespace tessarin::app
