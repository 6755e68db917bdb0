#include "run/RunControl.h"

#include <QLocale>
#include <cmath>

#include "app/Console.h"
#include "app/SettingsCode.h"
#include "app/TauSelection.h"
#include "graphics/Scales.h"
#include "link/modConvert.h"
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
  if (c.menu.mnuFormat.checked()) {
    if (nominal && *nominal > 0) return nominal;
    refuseStart(c, QString("The nominal DUT frequency \"%1\" is not a frequency in Hz. Type it "
                           "as, for example, 10,000,000.00000, or switch \"Normalize DUT "
                           "Frequency\" off.")
                       .arg(c.win.txtFormat.text()));
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
  if (!c.MSComm1.isOpen()) {
    refuseStart(c, "The serial port to the instrument is not open.");
    return false;
  }
  const std::optional<double> reference = referenceFrequency(c, nominal);
  if (!reference) return false;
  h = *reference;
  if (c.menu.mnuLimits.checked()) {
    if (const std::optional<QString> problem = Store(c)) {
      refuseStart(c, *problem);
      return false;
    }
  }
  return true;
}

void saveSettings(Console& c) {
  QString error;
  if (!WriteGlobalSettings(c, error))
    c.dialogs.message("The port, mode and data choices could not be saved to globalsetting.txt: " +
                          error + "\nThe run starts anyway.",
                      kTitle, Dialogs::Icon::Warning);
}

void sendFilterCommand(Console& c) {
  if (c.menu.mnuFiltered.checked()) {
    SendCommand(c, "FN1");
  } else if (c.menu.mnuNonFiltered.checked()) {
    SendCommand(c, "FN0");
  }
}

void clearPlotsForRun(Console& c) {
  for (PlotControl* plot : {&c.DynaPlot1, &c.DynaPlot2})
    if (plot->interaction()) plot->setInteraction(false);
  c.DynaPlot1.removeAllCurves();
  c.DynaPlot2.removeAllCurves();
  c.DynaPlot1.clearSecondItemList();
  c.DynaPlot2.clearSecondItemList();
}

void startRun(Console& c) {
  ConsoleState& st = c.st;
  const std::optional<double> nominal = NominalDutFromText(c.win.txtFormat.text());
  double h = 0;
  if (!readyToStart(c, nominal, h)) return;

  st.intRunState = 1;
  saveSettings(c);
  if (c.menu.mnuLimits.checked()) {
    ApplyScales(c);
    c.DynaPlot1.applyLimitsNow();
    c.DynaPlot2.applyLimitsNow();
  }
  sendFilterCommand(c);
  st.dblNominalDut = nominal.value_or(0);
  st.dblSampleIndex = 0;
  st.intStageIndex = 0;
  st.dblFreqOffset = (h - st.dblProgFreq) / h;
  c.setStatus("Running...");
  LockMenusForRun(c);
  if (!c.MSComm1.isOpen()) {
    // The port failed while pending events ran; its fault is already in the status line.
    UnlockMenusAfterRun(c);
    st.intRunState = 0;
    return;
  }

  EvaluateTau(c);
  st.dblAnalysisPeriod = st.dblTauSeconds >= 10 ? 3 : 10;
  // A header that cannot be written is reported in the status line by the writer; the run still
  // goes on, since the samples are plotted and analysed whether or not the file takes them.
  WriteRunHeader(c);
  SendCommand(c, st.strTauCommand.toStdString());
  st.intRunning = 1;
  SendCommand(c, "PH05");

  st.dblAnalysisCount = 1;
  st.dblFirstFactor = 1;
  st.dblFactor = 1;
  st.dblTauCurrent = st.dblTauSeconds;
  st.dblLevelOffset = 0;
  clearPlotsForRun(c);
  c.menu.mnuStart.setCaption(kStopCaption);
}

}  // namespace

void mnuStart_Click(Console& c) {
  if (c.menu.mnuStart.caption() == kStartCaption) {
    startRun(c);
    return;
  }
  c.st.intRunState = 0;
  StopRun(c);
  c.menu.mnuStart.setCaption(kStartCaption);
}

void StopRun(Console& c) {
  SendCommand(c, "PH00");
  c.st.intRunning = 0;
  c.st.intRunStopped = 1;
  UnlockMenusAfterRun(c);
  c.setStatus("Stop...");
}

void MSComm1_OnFault(Console& c, const QString& message) {
  // The adapter has closed the port. Once the instrument is connected again, Initialization
  // opens it anew and tunes the instrument before the next run; until then nothing polls it.
  c.st.intPortOpen = 0;
  c.Timer2.setEnabled(false);
  if (c.st.intFileChosen == 1) c.menu.mnuProgram.setEnabled(true);

  const bool runOn = c.st.intRunState == 1 && c.menu.mnuStart.caption() == kStopCaption;
  if (!runOn) {
    c.setStatus("Serial port failed: " + message);
    return;
  }
  c.st.intRunState = 0;
  StopRun(c);
  c.menu.mnuStart.setCaption(kStartCaption);
  c.setStatus("Serial port failed, run stopped: " + message);
}

std::optional<double> NominalDutFromText(const QString& text) {
  bool ok = false;
  const double typed =
      QLocale(QLocale::English, QLocale::UnitedStates).toDouble(text.trimmed(), &ok);
  if (!ok || !std::isfinite(typed)) return std::nullopt;
  return QString::number(typed, 'f', 5).toDouble();
}
