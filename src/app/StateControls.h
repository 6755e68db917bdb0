#pragma once

#include "app/RunState.h"

namespace tessarin::app {

class Console;

// What the console allows in one state: everything the menus show of the state follows from it.
struct StateControls {
  bool showsStop = false;  // the Start/Stop item reads "S&top"
  bool startStopEnabled = false;
  bool initializationEnabled = false;
  bool lockPoll = false;   // the lock timer polls the XTAL filter
  bool runLocked = false;  // the items that would change a run's meaning are disabled
  bool streams = false;    // the instrument streams sample lines
  bool watch = false;      // the watch timer keeps an eye on the run's silence and its data file
};

// Initialization needs a data file chosen; a run locks the option menus until it ends. While a lost
// run is `resuming`, the menus stay locked and Stop stays offered, to give the resumption up.
StateControls controlsFor(RunState state, bool dataFileChosen, bool resuming);

// Shows `after` on the menus, the tool windows and the lock timer. The run lock changes only where
// it differs from `before`: unlocking leaves the port items disabled, since the port stays open on
// the Com item it was opened on.
void showControls(Console& c, const StateControls& before, const StateControls& after);

}  // namespace tessarin::app
