#include "app/Console.h"

#include <utility>

#include "app/StateControls.h"
#include "app/Wiring.h"

namespace tessarin::app {

Console::Console(const Platform& platform, QString folder)
    : platform_(platform),
      settingsFolder_(std::move(folder)),
      instrument_(platform.serialPort),
      initialization_(instrument_),
      measurement_({&recorder_, platform.dataPlot, platform.stabilityPlot}) {
  connectHandlers(*this);
}

void Console::enter(RunState next) {
  // Once the console has quit, nothing brings it back.
  if (state_ == RunState::Closed) return;
  const StateControls after =
      controlsFor(next, recorder_.dataFile().chosen(), resumption_.active());
  if (shown_.streams && !after.streams) strayStream_.stopped(platform_.clock.sinceStart());
  state_ = next;
  showControls(*this, std::exchange(shown_, after), after);
}

}  // namespace tessarin::app
