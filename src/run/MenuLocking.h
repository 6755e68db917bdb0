#pragma once

class Console;

// Disables, for the length of a run, everything that would change the meaning of the samples:
// the option menus, tau, normalization, display, scales, the data file and the frequency boxes.
// Pending events run before each of the eight scale boxes.
void lockMenusForRun(Console& c);

// Enables the same items again (the port items stay locked: the port is already open), plus the
// Start/Stop item. Pending events run before each of the eight scale boxes.
void unlockMenusAfterRun(Console& c);
