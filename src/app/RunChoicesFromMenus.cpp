#include "app/RunChoicesFromMenus.h"

#include "app/SettingsCode.h"

namespace tessarin::app {

namespace {

constexpr double kDefaultTauMs = 1000;

std::optional<int> firstCheckedPort(const Menus& m) {
  const MenuItem* const items[] = {&m.com1, &m.com2, &m.com3, &m.com4};
  for (int n = 1; n <= 4; ++n)
    if (items[n - 1]->checked()) return n;
  return std::nullopt;
}

template <typename Choice>
std::optional<Choice> checkedOf(const MenuItem& first, Choice firstChoice, const MenuItem& second,
                                Choice secondChoice) {
  if (first.checked()) return firstChoice;
  if (second.checked()) return secondChoice;
  return std::nullopt;
}

double tauMilliseconds(const Menus& m, const Windows& w) {
  if (!m.tau.checked()) return kDefaultTauMs;
  const QString entry = w.tauList.text();
  return entry.isEmpty() ? kDefaultTauMs : leadingNumber(entry) * 1000;
}

}  // namespace

run::RunChoices readRunChoices(const Menus& m, const Windows& w) {
  using run::FilterMode;
  using run::Quantity;
  run::RunChoices choices;
  choices.comPort = firstCheckedPort(m);
  choices.mode =
      checkedOf(m.filtered, FilterMode::Filtered, m.nonFiltered, FilterMode::NonFiltered);
  choices.stored = checkedOf(m.frequencyData, Quantity::Frequency, m.phaseData, Quantity::Phase);
  choices.shown =
      checkedOf(m.showFrequencyDiff, Quantity::Frequency, m.showPhaseDiff, Quantity::Phase);
  choices.autoscale = m.autoscale.checked();
  choices.limits = m.limits.checked();
  choices.normalize = m.normalize.checked();
  choices.tau = run::Tau::ofMilliseconds(tauMilliseconds(m, w));
  return choices;
}

}  // namespace tessarin::app
