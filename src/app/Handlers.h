#pragma once

class Console;

// Each subsystem binds its menu items, window events and platform callbacks to its handlers.
void connectAppHandlers(Console& c);
void connectLinkHandlers(Console& c);
void connectRunHandlers(Console& c);
void connectGraphicsHandlers(Console& c);
