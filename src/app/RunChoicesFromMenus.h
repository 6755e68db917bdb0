#pragma once

#include "app/Menus.h"
#include "app/Windows.h"
#include "run/RunChoices.h"

namespace tessarin::app {

// The operator's choices as the check marks and the tau list show them now. Tau is 1 s unless
// "&Tau" is checked and a list entry is selected.
run::RunChoices readRunChoices(const Menus& menus, const Windows& windows);

}  // namespace tessarin::app
