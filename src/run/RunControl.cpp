#include "run/RunControl.h"

#include <QLocale>
#include <cmath>

#include "app/Console.h"
#include "app/SettingsCode.h"
#include "app/TauSelection.h"
#include "graphics/Scales.h"
#include "link/InstrumentCommands.h"
#include "run/DataFile.h"
#include "run/MenuLocking.h"

namespace {

const QString kStartCaption = QStringLiteral("S&tart");
const QString kStopCaption = QStringLiteral("S&top");
const QString kTitle = QStringLiteral("Tessarin / RS");

void refuseStart(Console& c, const QString& reason) {
  c.dialogs.message(reason + "\nThe run has not been started.", kTitle, Dialogs::Icon::Warning);
}

// The frequency the run's phase is measured against: the nominal one while normalization is on,
// else the measured one. Nothing, after telling the operator, when it is no usable frequency.
std::optional<double> referenceFrequency(Console& c, std::optional<double> nominal) {
  if (c.menus.normalize.checked()) {
    if (nominal && *nominal > 0) return nominal;
    refuseStart(c, QString("The nominal DUT frequency \"%1\" is not a frequency in Hz. Type it "
                           "as, for example, 10,000,000.00000, or switch \"Normalize DUT "
                           "Frequency\" off.")
                       .arg(c.windows.nominalFrequencyBox.text()));
    return std::nullopt;
  }
  if (c.st.dblDutFreq > 0) return c.st.dblDutFreq;
  refuseStart(c, "The DUT frequency has not been measured yet: run the initialization first.");
  return std::nullopt;
}

// Everything that could make the start fail is checked before anything is sent, locked or
// written; with "&Limits" the scale boxes are taken over here, since a box that is not a number
// refuses the start.
bool readyToStart(Console& c, std::optional<double> nominal, double& h) {
  if (!c.serialPort.isOpen()) {
    refuseStart(c, "The serial port to the instrument is not open.");
    return false;
  }
  const std::optional<double> reference = referenceFrequency(c, nominal);
  if (!reference) return false;
  h = *reference;
  if (c.menus.limits.checked()) {
    if (const std::optional<QString> problem = storeScales(c)) {
      refuseStart(c, *problem);
      return false;
    }
  }
  return true;
}

void saveSettings(Console& c) {
  QString error;
  if (!writeGlobalSettings(c, error))
    c.dialogs.message("The port, mode and data choices could not be saved to globalsetting.txt: " +
                          error + "\nThe run starts anyway.",
                      kTitle, Dialogs::Icon::Warning);
}

void sendFilterCommand(Console& c) {
  if (c.menus.filtered.checked()) {
    sendCommand(c, "FN1");
  } else if (c.menus.nonFiltered.checked()) {
    sendCommand(c, "FN0");
  }
}

void clearPlotsForRun(Console& c) {
  for (PlotControl* plot : {&c.dataPlot, &c.stabilityPlot})
    if (plot->interaction()) plot->setInteraction(false);
  c.dataPlot.removeAllCurves();
  c.stabilityPlot.removeAllCurves();
  c.dataPlot.clearSecondItemList();
  c.stabilityPlot.clearSecondItemList();
}

void startRun(Console& c) {
  ConsoleState& st = c.st;
  const std::optional<double> nominal =
      nominalFrequencyFromText(c.windows.nominalFrequencyBox.text());
  double h = 0;
  if (!readyToStart(c, nominal, h)) return;

  st.intRunState = 1;
  saveSettings(c);
  if (c.menus.limits.checked()) {
    applyScales(c);
    c.dataPlot.applyLimitsNow();
    c.stabilityPlot.applyLimitsNow();
  }
  sendFilterCommand(c);
  st.dblNominalDut = nominal.value_or(0);
  st.dblSampleIndex = 0;
  st.intStageIndex = 0;
  st.dblFreqOffset = (h - st.dblProgFreq) / h;
  c.setStatus("Running...");
  lockMenusForRun(c);
  if (!c.serialPort.isOpen()) {
    // The port failed while pending events ran; its fault is already in the status line.
    unlockMenusAfterRun(c);
    st.intRunState = 0;
    return;
  }

  evaluateTau(c);
  st.dblAnalysisPeriod = st.dblTauSeconds >= 10 ? 3 : 10;
  // A header that cannot be written is reported in the status line by the writer; the run still
  // goes on, since the samples are plotted and analysed whether or not the file takes them.
  writeRunHeader(c);
  sendCommand(c, st.strTauCommand.toStdString());
  st.intRunning = 1;
  sendCommand(c, "PH05");

  st.dblAnalysisCount = 1;
  st.dblFirstFactor = 1;
  st.dblFactor = 1;
  st.dblTauCurrent = st.dblTauSeconds;
  st.dblLevelOffset = 0;
  clearPlotsForRun(c);
  c.menus.startStop.setCaption(kStopCaption);
}

}  // namespace

void startOrStopRun(Console& c) {
  if (c.menus.startStop.caption() == kStartCaption) {
    startRun(c);
    return;
  }
  c.st.intRunState = 0;
  stopRun(c);
  c.menus.startStop.setCaption(kStartCaption);
}

void stopRun(Console& c) {
  sendCommand(c, "PH00");
  c.st.intRunning = 0;
  c.st.intRunStopped = 1;
  unlockMenusAfterRun(c);
  c.setStatus("Stop...");
}

void handlePortFailure(Console& c, const QString& message) {
  // The adapter has closed the port. Once the instrument is connected again, Initialization
  // opens it anew and tunes the instrument before the next run; until then nothing polls it.
  c.st.intPortOpen = 0;
  c.lockTimer.setEnabled(false);
  if (c.st.intFileChosen == 1) c.menus.initialization.setEnabled(true);

  const bool runOn = c.st.intRunState == 1 && c.menus.startStop.caption() == kStopCaption;
  if (!runOn) {
    c.setStatus("Serial port failed: " + message);
    return;
  }
  c.st.intRunState = 0;
  stopRun(c);
  c.menus.startStop.setCaption(kStartCaption);
  c.setStatus("Serial port failed, run stopped: " + message);
}

std::optional<double> nominalFrequencyFromText(const QString& text) {
  bool ok = false;
  const double typed =
      QLocale(QLocale::English, QLocale::UnitedStates).toDouble(text.trimmed(), &ok);
  if (!ok || !std::isfinite(typed)) return std::nullopt;
  return QString::number(typed, 'f', 5).toDouble();
}
