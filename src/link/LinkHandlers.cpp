#include "app/Console.h"
#include "app/Handlers.h"

void connectLinkHandlers(Console& c) { (void)c; }
