#pragma once

class Console;

// One tick of the lock poll (every second in filtered mode after the initialization): asks for
// the XTAL filter's lock state and, once a "CL1" reply has come in, stops polling, enables Start
// and offers normalization.
void pollFilterLock(Console& c);
