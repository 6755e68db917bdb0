#include "app/Console.h"
#include "app/Handlers.h"

void connectRunHandlers(Console& c) { (void)c; }
