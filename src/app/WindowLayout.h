#pragma once

namespace tessarin::app {

class Console;

// Places each tool window when it is loaded: a column at the right edge of the main window.
void placeDutFrequencyWindow(Console& c);
void placeTauWindow(Console& c);
void placeNominalWindow(Console& c);
void placeAboutWindow(Console& c);

// Lays the child windows out again from the main window's size: the plots fill the left part,
// the tool windows follow the right edge, the about window the bottom right corner.
void layOutWindows(Console& c);

}  // namespace tessarin::app
