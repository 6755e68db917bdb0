#pragma once

namespace tessarin::app {

class Console;
struct Windows;
class ChildWindow;

// A plot window's height for the main window's present size.
int plotWindowHeight(const Windows& windows);
// The left edge that puts `window` in the column of tool windows at the main window's right.
int toolColumnLeft(const Windows& windows, const ChildWindow& window);

// Places each tool window when it is prepared: a column at the right edge of the main window.
void placeDutFrequencyWindow(Console& c);
void placeTauWindow(Console& c);
void placeNominalWindow(Console& c);
void placeAboutWindow(Console& c);

// Lays the child windows out again from the main window's size: the plots fill the left part,
// the tool windows follow the right edge, the about window the bottom right corner.
void layOutWindows(Console& c);

}  // namespace tessarin::app
