#include "app/tuning/Normalization.h"

#include "app/Console.h"
#include "link/DutFrequencyText.h"

namespace tessarin::app::tuning {

namespace {

void switchNormalizationOn(Console& c) {
  c.menus().normalize.setChecked(true);
  c.windows().nominalWindow.setVisible(true);
  c.setNominalHz(c.initialization().frequencies().rounded);
  c.windows().nominalFrequencyBox.setText(link::formatGroupedFrequency(c.nominalHz()));
}

}  // namespace

void toggleNormalization(Console& c) {
  if (!c.menus().normalize.checked()) {
    switchNormalizationOn(c);
  } else {
    c.menus().normalize.setChecked(false);
    c.windows().nominalWindow.setVisible(false);
  }
}

void askToNormalize(Console& c) {
  const bool yes = c.platform().dialogs.askYesNo(
      QStringLiteral("Do you want to normalize DUT frequency ?"), QStringLiteral("Normalize FDUT"));
  if (!yes) return;
  if (!c.menus().normalize.checked()) {
    toggleNormalization(c);
    return;
  }
  // Normalization was switched on during the initialization: keep it on. The box still holding
  // what the console wrote then gets the frequency just measured; a typed value is the operator's.
  const bool typedByOperator =
      c.windows().nominalFrequencyBox.text() != link::formatGroupedFrequency(c.nominalHz());
  if (typedByOperator) {
    c.windows().nominalWindow.setVisible(true);
  } else {
    switchNormalizationOn(c);
  }
}

}  // namespace tessarin::app::tuning
