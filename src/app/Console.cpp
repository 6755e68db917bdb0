#include "app/Console.h"

#include "app/StateControls.h"
#include "app/Wiring.h"
#include "app/runs/Recording.h"

namespace tessarin::app {

Console::Console(const Platform& platform, QString folder)
    : platform_(platform),
      settingsFolder_(std::move(folder)),
      instrument_(platform.serialPort),
      initialization_(instrument_),
      measurement_({[this](double value) { runs::recordSampleLine(*this, value); },
                    platform.dataPlot, platform.stabilityPlot}) {
  connectHandlers(*this);
}

void Console::enter(RunState next) {
  // Once the console has quit, nothing brings it back.
  if (state_ == RunState::Closed) return;
  const StateControls before = controlsFor(state_, recorder_.dataFile().chosen());
  const StateControls after = controlsFor(next, recorder_.dataFile().chosen());
  if (before.streams && !after.streams) strayStream_.stopped(platform_.clock.sinceStart());
  state_ = next;
  showControls(*this, before, after);
}

}  // namespace tessarin::app
