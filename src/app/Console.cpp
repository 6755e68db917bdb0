#include "app/Console.h"

#include "app/Wiring.h"
#include "run/Recording.h"

namespace tessarin::app {

Console::Console(const Platform& platform, QString folder)
    : serialPort(platform.serialPort),
      lockTimer(platform.lockTimer),
      dataPlot(platform.dataPlot),
      stabilityPlot(platform.stabilityPlot),
      dialogs(platform.dialogs),
      clock(platform.clock),
      tasks(platform.tasks),
      application(platform.application),
      printer(platform.printer),
      settingsFolder(std::move(folder)),
      instrument(platform.serialPort),
      initializationSequence(instrument),
      measurement({[this](double value) { run::recordSampleLine(*this, value); }, platform.dataPlot,
                   platform.stabilityPlot}) {
  connectHandlers(*this);
}

void Console::enter(RunState next) {
  // Once the console has quit, nothing brings it back.
  if (state_ == RunState::Closed) return;
  const auto streams = [](RunState state) {
    return state == RunState::Running || isRefining(state);
  };
  if (streams(state_) && !streams(next)) streamStoppedAt = clock.sinceStart();
  state_ = next;
  menus.startStop.setCaption(showsStop(next) ? QStringLiteral("S&top") : QStringLiteral("S&tart"));
  menus.startStop.setEnabled(canStartOrStop(next));
  menus.initialization.setEnabled(next == RunState::Idle && dataFile.chosen());
  lockTimer.setEnabled(next == RunState::WaitingForLock);
}

}  // namespace tessarin::app
