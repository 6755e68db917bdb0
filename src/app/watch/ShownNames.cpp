#include "app/watch/ShownNames.h"

namespace tessarin::app::watch {

QString stateName(RunState state) {
  switch (state) {
    case RunState::Idle:
      return "Idle";
    case RunState::Counting:
      return "Counting";
    case RunState::Refining1:
    case RunState::Refining2:
    case RunState::Refining3:
      return "Refining";
    case RunState::WaitingForLock:
      return "Waiting for the filter lock";
    case RunState::Ready:
      return "Ready";
    case RunState::Running:
      return "Running";
    case RunState::EndedAtSampleLimit:
      return "Ended at the sample limit";
    case RunState::Stopped:
      return "Stopped";
    case RunState::Resuming:
      return "Resuming";
    case RunState::Closed:
      return "Closed";
  }
  return {};
}

QStringList stateNames() {
  QStringList names;
  for (int s = int(RunState::Idle); s <= int(RunState::Closed); ++s) {
    const QString name = stateName(RunState(s));
    if (!names.contains(name)) names << name;
  }
  return names;
}

QString shownStatisticName(const Menus& m) {
  if (m.showModifiedAllan.checked()) return "mdev";
  if (m.showTdev.checked()) return "tdev";
  if (m.showMtie.checked()) return "mtie";
  return "adev";
}

}  // namespace tessarin::app::watch
