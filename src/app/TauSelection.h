#pragma once

class Console;

// "&Tau": shows the tau list and puts it in use, or hides it and goes back to 1 s.
void toggleTauList(Console& c);

// The run's tau from the "&Tau" check mark and the selected list entry (1 s when the list is not
// in use or nothing is selected): sets dblTauMs, dblTauSeconds and the "TA" command in
// strTauCommand.
void evaluateTau(Console& c);
