#include "app/TauSelection.h"

#include "app/Console.h"
#include "app/SettingsCode.h"
#include "link/modConvert.h"

namespace {

constexpr double kDefaultTauMs = 1000;

}  // namespace

void mnuTau_Click(Console& c) {
  const bool inUse = !c.menu.mnuTau.checked();
  c.menu.mnuTau.setChecked(inUse);
  c.win.frmTau.setVisible(inUse);
}

void EvaluateTau(Console& c) {
  ConsoleState& st = c.st;
  st.dblTauMs = kDefaultTauMs;
  if (c.menu.mnuTau.checked()) {
    st.strTauCommand = c.win.List1.text();
    if (!st.strTauCommand.isEmpty()) st.dblTauMs = LeadingNumber(st.strTauCommand) * 1000;
  }
  st.dblTauSeconds = st.dblTauMs / 1000;
  st.strTauCommand = QString::fromStdString(TauCommand(st.dblTauMs));
}
