#include "run/RunControl.h"

#include <QLocale>
#include <cmath>

#include "app/SettingsCode.h"
#include "app/TauSelection.h"
#include "graphics/Scales.h"
#include "run/MenuLocking.h"
#include "run/Recording.h"

namespace tessarin::run {

namespace {

const QString kTitle = QStringLiteral("Tessarin / RS");
// Below this tau the stability is analysed every 10 samples, from it on every 3.
constexpr double kLongTauSeconds = 10;

void refuseStart(app::Console& c, const QString& reason) {
  c.dialogs.message(reason + "\nThe run has not been started.", kTitle,
                    platform::Dialogs::Icon::Warning);
}

// The frequency the run's phase is measured against: the nominal one while normalization is on,
// else the measured one. Nothing, after telling the operator, when it is no usable frequency.
std::optional<double> referenceFrequency(app::Console& c, std::optional<double> nominal) {
  if (c.menus.normalize.checked()) {
    if (nominal && *nominal > 0) return nominal;
    refuseStart(c, QString("The nominal DUT frequency \"%1\" is not a frequency in Hz. Type it "
                           "as, for example, 10,000,000.00000, or switch \"Normalize DUT "
                           "Frequency\" off.")
                       .arg(c.windows.nominalFrequencyBox.text()));
    return std::nullopt;
  }
  const double measured = c.initializationSequence.frequencies().measured;
  if (measured > 0) return measured;
  refuseStart(c, "The DUT frequency has not been measured yet: run the initialization first.");
  return std::nullopt;
}

// Everything that could make the start fail is checked before anything is sent, locked or
// written; with "&Limits" the scale boxes are taken over here, since a box that is not a number
// refuses the start.
std::optional<double> checkStart(app::Console& c, std::optional<double> nominal) {
  if (!c.serialPort.isOpen()) {
    refuseStart(c, "The serial port to the instrument is not open.");
    return std::nullopt;
  }
  const std::optional<double> reference = referenceFrequency(c, nominal);
  if (!reference) return std::nullopt;
  if (c.menus.limits.checked()) {
    if (const std::optional<QString> problem = graphics::storeScales(c)) {
      refuseStart(c, *problem);
      return std::nullopt;
    }
  }
  return reference;
}

// A failure is told once the start has run to its end: the run starts anyway.
void saveSettings(app::Console& c) {
  const platform::Result<> saved = app::writeGlobalSettings(c);
  if (saved) return;
  c.tasks.post([&c, reason = saved.reason()] {
    c.dialogs.message("The port, mode and data choices could not be saved to globalsetting.txt: " +
                          reason + "\nThe run starts anyway.",
                      kTitle, platform::Dialogs::Icon::Warning);
  });
}

void sendFilterCommand(app::Console& c) {
  if (c.menus.filtered.checked()) {
    c.instrument.send("FN1");
  } else if (c.menus.nonFiltered.checked()) {
    c.instrument.send("FN0");
  }
}

void clearPlotsForRun(app::Console& c) {
  for (platform::PlotControl* plot : {&c.dataPlot, &c.stabilityPlot})
    if (plot->interaction()) plot->setInteraction(false);
  c.dataPlot.removeAllCurves();
  c.stabilityPlot.removeAllCurves();
  c.dataPlot.removeAllItems();
  c.stabilityPlot.removeAllItems();
}

RunSettings runSettings(const app::Console& c, double referenceHz, double tauSeconds) {
  const app::Menus& m = c.menus;
  RunSettings settings;
  settings.tauSeconds = tauSeconds;
  settings.dutHz = c.initializationSequence.frequencies().rounded;
  settings.frequencyOffset =
      (referenceHz - c.initializationSequence.frequencies().programmed) / referenceHz;
  settings.analysisPeriod = tauSeconds >= kLongTauSeconds ? 3 : 10;
  settings.stored = m.frequencyData.checked() ? Quantity::Frequency : Quantity::Phase;
  if (m.showFrequencyDiff.checked())
    settings.shown = Quantity::Frequency;
  else if (m.showPhaseDiff.checked())
    settings.shown = Quantity::Phase;
  else
    settings.shown = std::nullopt;
  settings.autoscale = m.autoscale.checked();
  return settings;
}

void startRun(app::Console& c) {
  const std::optional<double> nominal =
      nominalFrequencyFromText(c.windows.nominalFrequencyBox.text());
  const std::optional<double> reference = checkStart(c, nominal);
  if (!reference) return;

  saveSettings(c);
  if (c.menus.limits.checked()) {
    graphics::applyScales(c);
    c.dataPlot.applyLimitsNow();
    c.stabilityPlot.applyLimitsNow();
  }
  // The status first, so that a command that cannot be written is what the status line says.
  c.setStatus(QStringLiteral("Running..."));
  sendFilterCommand(c);
  c.nominalHz = nominal.value_or(0);
  lockMenusForRun(c);

  const app::Tau tau = app::evaluateTau(c);
  writeRunHeader(c, tau.milliseconds);
  c.instrument.send(tau.command);
  c.measurement.start(runSettings(c, *reference, tau.seconds));
  c.enter(app::RunState::Running);
  c.instrument.send("PH05");
  clearPlotsForRun(c);
}

}  // namespace

void startOrStopRun(app::Console& c) {
  if (app::showsStop(c.state())) {
    stopRun(c);
  } else if (app::canStartOrStop(c.state())) {
    startRun(c);
  }
}

void stopRun(app::Console& c) {
  c.setStatus(QStringLiteral("Stop..."));
  c.instrument.send("PH00");
  c.enter(app::RunState::Stopped);
  unlockMenusAfterRun(c);
  saveWaitingLines(c);
}

void endRunAtSampleLimit(app::Console& c) {
  c.instrument.send("PH00");
  c.enter(app::RunState::EndedAtSampleLimit);
  unlockMenusAfterRun(c);
  c.tasks.post([&c] {
    c.dialogs.message(QStringLiteral("Sample 999999"), kTitle, platform::Dialogs::Icon::Warning);
  });
  c.tasks.post([&c] { saveWaitingLines(c); });
}

void handlePortFailure(app::Console& c, const QString& message) {
  // The adapter has closed the port. Once the instrument is connected again, Initialization
  // opens it anew and tunes the instrument before the next run; until then nothing polls it.
  const bool runOn = app::showsStop(c.state());
  if (runOn) {
    c.enter(app::RunState::Stopped);
    unlockMenusAfterRun(c);
    // Asked before the failure is said, so that the status line ends with the port's failure.
    saveWaitingLines(c);
  }
  c.enter(app::RunState::Idle);
  c.setStatus((runOn ? QStringLiteral("Serial port failed, run stopped: ")
                     : QStringLiteral("Serial port failed: ")) +
              message);
}

std::optional<double> nominalFrequencyFromText(const QString& text) {
  bool ok = false;
  const double typed =
      QLocale(QLocale::English, QLocale::UnitedStates).toDouble(text.trimmed(), &ok);
  if (!ok || !std::isfinite(typed)) return std::nullopt;
  return QString::number(typed, 'f', 5).toDouble();
}

}  // namespace tessarin::run
