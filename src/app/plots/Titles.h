#pragma once

namespace tessarin::app {
class Console;
}

namespace tessarin::app::plots {

// "&Title": opens the Graphics Title window at the centre of the main window with the plots'
// titles of this moment, or brings it forward, boxes untouched, when it is already open.
void openTitleWindow(Console& c);

// "&Ok": both plots take the boxes' texts as typed; the window closes.
void applyTitles(Console& c);

// The operator closed the window by its title bar: the edits are discarded. Returns true to
// refuse closing, which it never does.
bool dismissTitleWindow(Console& c);

}  // namespace tessarin::app::plots
