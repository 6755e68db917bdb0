#pragma once

namespace tessarin::app {
class Console;
}

namespace tessarin::app::runs {

// A new run's stability is watched afresh, with the console's threshold.
void startStabilityWatch(Console& c);
// The run's newest sample: a change in the oscillator's stability, or its end, is an event
// ("stability-changed", "stability-settled") for the page, the event command and the metrics.
void watchStability(Console& c);

}  // namespace tessarin::app::runs
