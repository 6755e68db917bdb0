#include "app/runs/RunControl.h"

#include "app/Console.h"
#include "app/RunChoicesFromMenus.h"
#include "app/SettingsCode.h"
#include "app/plots/Scales.h"
#include "app/plots/StabilityMask.h"
#include "app/runs/Recording.h"
#include "app/runs/Resume.h"
#include "app/runs/StabilityWatch.h"
#include "app/watch/Events.h"
#include "graphics/PlotAxes.h"
#include "link/DutFrequencyText.h"
#include "link/InstrumentCommands.h"

namespace tessarin::app::runs {

namespace {

const QString kTitle = QStringLiteral("Tessarin / RS");

// A warning posted to be shown once the handler has run to its end.
void warnAfterwards(Console& c, const QString& text) {
  c.platform().tasks.post(
      [&c, text] { c.platform().dialogs.message(text, kTitle, platform::Dialogs::Icon::Warning); });
}

void refuseStart(Console& c, const QString& reason) {
  c.platform().dialogs.message(reason + "\nThe run has not been started.", kTitle,
                               platform::Dialogs::Icon::Warning);
}

// The frequency the run's phase is measured against: the nominal one while normalization is on,
// else the measured one. Nothing, after telling the operator, when it is no usable frequency.
std::optional<double> referenceFrequency(Console& c, const run::RunChoices& choices,
                                         std::optional<double> nominal) {
  if (choices.normalize) {
    if (nominal && *nominal > 0) return nominal;
    refuseStart(c, QString("The nominal DUT frequency \"%1\" is not a frequency in Hz. Type it "
                           "as, for example, 10,000,000.00000, or switch \"Normalize DUT "
                           "Frequency\" off.")
                       .arg(c.windows().nominalFrequencyBox.text()));
    return std::nullopt;
  }
  const double measured = c.initialization().frequencies().measured;
  if (measured > 0) return measured;
  refuseStart(c, "The DUT frequency has not been measured yet: run the initialization first.");
  return std::nullopt;
}

// What a start needs that can fail, checked before anything is sent, locked or written; with
// "&Limits" the scale boxes must all be numbers.
struct StartCheck {
  double referenceHz = 0;
  std::optional<graphics::PlotLimits> limits;
};

std::optional<StartCheck> checkStart(Console& c, const run::RunChoices& choices,
                                     std::optional<double> nominal) {
  if (!c.platform().serialPort.isOpen()) {
    refuseStart(c, "The serial port to the instrument is not open.");
    return std::nullopt;
  }
  const std::optional<double> reference = referenceFrequency(c, choices, nominal);
  if (!reference) return std::nullopt;
  StartCheck check{*reference, std::nullopt};
  if (choices.limits) {
    const platform::Result<graphics::PlotLimits> limits = plots::readScaleBoxes(c);
    if (!limits) {
      refuseStart(c, limits.reason());
      return std::nullopt;
    }
    check.limits = limits.value();
  }
  return check;
}

// The choices and the limits are kept for the next start-up; a failure is told once the start
// has run to its end, since the run starts anyway.
void saveChoices(Console& c, const run::RunChoices& choices, bool limitsTaken) {
  const platform::Result<> settings = writeGlobalSettings(c.settingsFolder(), choices);
  if (!settings)
    warnAfterwards(c, "The port, mode and data choices could not be saved to globalsetting.txt: " +
                          settings.reason() + "\nThe run starts anyway.");
  if (!limitsTaken) return;
  const platform::Result<> limits = plots::saveScaleBoxes(c);
  if (!limits) warnAfterwards(c, "The plot limits could not be saved: " + limits.reason());
}

void sendFilterCommand(Console& c, std::optional<run::FilterMode> mode) {
  if (mode == run::FilterMode::Filtered) {
    c.instrument().send(link::kFilteredMode);
  } else if (mode == run::FilterMode::NonFiltered) {
    c.instrument().send(link::kNonFilteredMode);
  }
}

void clearPlotsForRun(const Platform& p) {
  for (platform::PlotControl* plot : {&p.dataPlot, &p.stabilityPlot})
    if (plot->interaction()) plot->setInteraction(false);
  p.dataPlot.removeAllCurves();
  p.stabilityPlot.removeAllCurves();
  p.dataPlot.removeAllItems();
  p.stabilityPlot.removeAllItems();
}

// A resumed run keeps the choices of the run it follows, which its Start saved already.
void startRun(Console& c, bool resumed) {
  const run::RunChoices choices = readRunChoices(c.menus(), c.windows());
  const std::optional<double> nominal =
      link::nominalFrequencyFromText(c.windows().nominalFrequencyBox.text());
  const std::optional<StartCheck> check = checkStart(c, choices, nominal);
  if (!check) return;

  const Platform& p = c.platform();
  if (!resumed) saveChoices(c, choices, check->limits.has_value());
  if (check->limits) {
    graphics::setPlotLimits(*check->limits, p.dataPlot, p.stabilityPlot);
    p.dataPlot.applyLimitsNow();
    p.stabilityPlot.applyLimitsNow();
  }
  // The status first, so that a command that cannot be written is what the status line says.
  c.setStatus(runningStatus(c));
  sendFilterCommand(c, choices.mode);
  c.setNominalHz(nominal.value_or(0));

  writeRunHeader(c, run::runHeaderFor(choices, c.recorder().dataFile().path(), p.clock.shortDate(),
                                      p.clock.time(), check->referenceHz));
  syncDataFile(c);
  c.instrument().send(choices.tau.command);
  const run::RunSettings settings =
      run::runSettingsFor(choices, c.initialization().frequencies(), check->referenceHz);
  c.measurement().start(settings);
  startStabilityWatch(c);
  c.silence().start(p.clock.sinceStart(), choices.tau.seconds);
  c.setRunFacts({settings.dutHz, settings.tauSeconds, choices.mode, choices.stored,
                 p.clock.dateTime(), p.clock.sinceStart()});
  c.enter(RunState::Running);
  c.instrument().send(link::kStartStream);
  clearPlotsForRun(p);
  plots::forgetMaskVerdicts(c);
  watch::recordEvent(c, resumed ? QStringLiteral("resumed") : QStringLiteral("started"),
                     c.status());
}

}  // namespace

void startOrStopRun(Console& c) {
  if (c.resumption().active()) {
    abandonResumption(c);
  } else if (showsStop(c.state())) {
    stopRun(c);
  } else if (canStartOrStop(c.state())) {
    startRun(c, false);
  }
}

void startResumedRun(Console& c) { startRun(c, true); }

void stopRun(Console& c) {
  c.setStatus(QStringLiteral("Stop..."));
  c.instrument().send(link::kStopStream);
  c.enter(RunState::Stopped);
  saveWaitingLines(c);
  watch::recordEvent(c, QStringLiteral("stopped"),
                     QStringLiteral("Stopped after %1 samples").arg(c.measurement().sampleCount()));
}

void endRunAtSampleLimit(Console& c) {
  syncDataFile(c);
  c.instrument().send(link::kStopStream);
  c.enter(RunState::EndedAtSampleLimit);
  warnAfterwards(c, QStringLiteral("Sample 999999"));
  watch::recordEvent(c, QStringLiteral("sample-limit"), QStringLiteral("Sample 999999"));
  c.platform().tasks.post([&c] { saveWaitingLines(c); });
}

void handlePortFailure(Console& c, const QString& message) {
  // The adapter has closed the port. Once the instrument is connected again, Initialization
  // opens it anew and tunes the instrument before the next run; until then nothing polls it.
  const bool runOn = showsStop(c.state());
  const bool resume = c.state() == RunState::Running && c.menus().resumeAfterPortLoss.checked();
  if (resume || c.resumption().active()) {
    loseRun(c, QStringLiteral("Port lost"));
    return;
  }
  syncDataFile(c);
  if (runOn) {
    c.enter(RunState::Stopped);
    // Asked before the failure is said, so that the status line ends with the port's failure.
    saveWaitingLines(c);
  }
  c.enter(RunState::Idle);
  c.setStatus((runOn ? QStringLiteral("Serial port failed, run stopped: ")
                     : QStringLiteral("Serial port failed: ")) +
              message);
  watch::recordEvent(c, QStringLiteral("port-lost"), c.status());
}

}  // namespace tessarin::app::runs
