#include "app/tuning/FilterLockPoll.h"

#include "app/Console.h"
#include "app/runs/Resume.h"
#include "app/tuning/Normalization.h"
#include "link/InstrumentCommands.h"

namespace tessarin::app::tuning {

void pollFilterLock(Console& c) {
  if (c.state() != RunState::WaitingForLock) return;
  c.setStatus(QStringLiteral("XTAL filter Unlocked, wait..."));
  c.instrument().send(link::kLockRequest);
  if (!c.filterLock().locked()) return;
  c.setStatus(QStringLiteral("XTAL filter Locked"));
  c.enter(RunState::Ready);
  if (c.resumption().active()) {
    runs::resumeWhenSettled(c);
  } else {
    c.platform().tasks.post([&c] { askToNormalize(c); });
  }
}

}  // namespace tessarin::app::tuning
