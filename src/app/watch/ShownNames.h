#pragma once

#include <QString>
#include <QStringList>

#include "app/Menus.h"
#include "app/RunState.h"

namespace tessarin::app::watch {

// The names the served page, its API and the metrics give the console's states: "Idle",
// "Running", "Waiting for the filter lock", ... (the three refinement stages are one "Refining").
QString stateName(RunState state);
// Every name stateName gives, once each, in the order of the states.
QStringList stateNames();

// The statistic the stability plot shows: "adev", "mdev", "tdev" or "mtie".
QString shownStatisticName(const Menus& m);

}  // namespace tessarin::app::watch
