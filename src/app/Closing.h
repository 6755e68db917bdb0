#pragma once

namespace tessarin::app {

class Console;
class ChildWindow;

void showAboutWindow(Console& c);

// A tool window's close button only hides it while the console runs. Returns true to refuse the
// close.
bool hideToolWindow(Console& c, ChildWindow& window);
// A plot window stays open while the console runs. Returns true to refuse the close.
bool keepPlotWindow(Console& c);

// The main window is asked to close: from now on the child windows let themselves be closed.
void prepareToClose(Console& c);
// "&Quit", and closing the main window: offers the run's waiting lines for another file, stops the
// instrument's activity with "MK0" when the port is open, then ends the program. Nothing is sent
// or handled after it.
void quitConsole(Console& c);

}  // namespace tessarin::app
