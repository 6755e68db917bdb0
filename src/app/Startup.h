#pragma once

class Console;

// The start-up: key bindings, console state with every array at full size, menu start states,
// the saved choices, the plot windows shown, the tool windows loaded hidden, the plot labels.
void startUp(Console& c);
