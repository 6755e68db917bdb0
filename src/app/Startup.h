#pragma once

#include "app/Console.h"

namespace tessarin::app {

// The start-up: key bindings, menu start states, the saved choices, the plot windows shown, the
// tool windows loaded hidden, the plot labels.
void startUp(Console& c);

// A settings file that could not be read at start-up: said in the status line, after any problem
// already said there.
void reportStartupProblem(Console& c, const QString& problem);

}  // namespace tessarin::app
