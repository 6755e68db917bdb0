#include "run/RunChoices.h"

#include "link/InstrumentCommands.h"

namespace tessarin::run {

namespace {

// Below this tau the stability is analysed every 10 samples, from it on every 3.
constexpr double kLongTauSeconds = 10;

// A run stores phase unless frequency data is chosen.
Quantity storedQuantity(const RunChoices& choices) {
  return choices.stored.value_or(Quantity::Phase);
}

}  // namespace

Tau Tau::ofMilliseconds(double milliseconds) {
  return {milliseconds, milliseconds / 1000, link::tauCommand(milliseconds)};
}

RunSettings runSettingsFor(const RunChoices& choices, const link::DutFrequencies& dut,
                           double referenceHz) {
  RunSettings settings;
  settings.tauSeconds = choices.tau.seconds;
  settings.dutHz = dut.rounded;
  settings.frequencyOffset = (referenceHz - dut.programmed) / referenceHz;
  settings.analysisPeriod = choices.tau.seconds >= kLongTauSeconds ? 3 : 10;
  settings.stored = storedQuantity(choices);
  settings.shown = choices.shown;
  settings.autoscale = choices.autoscale;
  return settings;
}

RunHeader runHeaderFor(const RunChoices& choices, const QString& path, const QString& date,
                       const QString& time, double referenceHz) {
  RunHeader header;
  header.path = path;
  header.date = date;
  header.time = time;
  header.dutHz = referenceHz;
  header.tauMs = choices.tau.milliseconds;
  header.filtered = choices.mode == FilterMode::Filtered;
  header.stored = storedQuantity(choices);
  return header;
}

}  // namespace tessarin::run
