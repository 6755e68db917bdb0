#pragma once

#include <QString>

#include "analysis/StabilityChange.h"
#include "app/Menus.h"
#include "app/RunState.h"
#include "app/StateControls.h"
#include "app/Windows.h"
#include "app/plots/MaskWatch.h"
#include "app/watch/EventLog.h"
#include "app/watch/RunFacts.h"
#include "link/FilterLock.h"
#include "link/InitializationSequence.h"
#include "link/InstrumentLink.h"
#include "link/ReplyFramer.h"
#include "link/StrayStream.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/PlotControl.h"
#include "platform/Printer.h"
#include "platform/SerialPort.h"
#include "platform/TaskQueue.h"
#include "platform/Timer.h"
#include "run/Measurement.h"
#include "run/Recorder.h"
#include "run/Resumption.h"
#include "run/SilenceWatch.h"

namespace tessarin::app {

// The platform services the console works through.
struct Platform {
  platform::SerialPort& serialPort;
  platform::Timer& lockTimer;
  // Ticks once a second while a run is on: the watch for silence and the data file's sync.
  platform::Timer& watchTimer;
  platform::PlotControl& dataPlot;
  platform::PlotControl& stabilityPlot;
  platform::Dialogs& dialogs;
  platform::Clock& clock;
  platform::TaskQueue& tasks;
  platform::Application& application;
  platform::Printer& printer;
};

// The main window: owns the menus, the child windows, the instrument dialogue, the measurement,
// the recorder of the data file, and the one state the console is in. The use cases are free
// functions on it, in the folders below app/ named for what they do.
class Console {
 public:
  // `settingsFolder` holds globalsetting.txt, setting3.txt and serialports.txt.
  Console(const Platform& platform, QString settingsFolder);
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  Menus& menus() { return menus_; }
  const Menus& menus() const { return menus_; }
  Windows& windows() { return windows_; }
  const Windows& windows() const { return windows_; }
  const Platform& platform() const { return platform_; }
  const QString& settingsFolder() const { return settingsFolder_; }

  link::InstrumentLink& instrument() { return instrument_; }
  link::ReplyFramer& replyFramer() { return replyFramer_; }
  link::InitializationSequence& initialization() { return initialization_; }
  const link::InitializationSequence& initialization() const { return initialization_; }
  link::FilterLock& filterLock() { return filterLock_; }
  link::StrayStream& strayStream() { return strayStream_; }
  run::Measurement& measurement() { return measurement_; }
  const run::Measurement& measurement() const { return measurement_; }
  run::Recorder& recorder() { return recorder_; }
  const run::Recorder& recorder() const { return recorder_; }
  run::SilenceWatch& silence() { return silence_; }
  run::Resumption& resumption() { return resumption_; }
  const run::Resumption& resumption() const { return resumption_; }
  const run::SilenceWatch& silence() const { return silence_; }
  plots::MaskWatch& maskWatch() { return maskWatch_; }
  const plots::MaskWatch& maskWatch() const { return maskWatch_; }
  // The live watch for a change in the run's stability, and the threshold a new run's watch
  // judges with.
  analysis::StabilityChange& stabilityChange() { return stabilityChange_; }
  double stabilityThreshold() const { return stabilityThreshold_; }
  void setStabilityThreshold(double threshold) { stabilityThreshold_ = threshold; }
  watch::EventLog& events() { return events_; }
  const watch::EventLog& events() const { return events_; }
  // The current run's facts, or the last run's once it has ended; nothing before the first run.
  const std::optional<watch::RunFacts>& runFacts() const { return runFacts_; }
  void setRunFacts(const watch::RunFacts& facts) { runFacts_ = facts; }

  // The nominal DUT frequency the console last wrote into the "Nominal DUT" box or took from it.
  double nominalHz() const { return nominalHz_; }
  void setNominalHz(double hz) { nominalHz_ = hz; }
  // The picture file chosen last; the save dialog offers it again.
  const QString& lastPicturePath() const { return lastPicturePath_; }
  void setLastPicturePath(const QString& path) { lastPicturePath_ = path; }
  // The main window is closing: tool windows let themselves be closed.
  bool closing() const { return closing_; }
  void beginClosing() { closing_ = true; }

  RunState state() const { return state_; }
  // Enters `next` and shows what it allows (see StateControls.h).
  void enter(RunState next);
  // Shows the current state again after something it depends on changed (the data file choice).
  void showState() { enter(state_); }

  // The status text shown in the menu bar after "       Status :".
  void setStatus(const QString& text) { menus_.statusText.setCaption(text); }
  const QString& status() const { return menus_.statusText.caption(); }

 private:
  Menus menus_;
  Windows windows_;
  const Platform platform_;
  const QString settingsFolder_;

  link::InstrumentLink instrument_;
  link::ReplyFramer replyFramer_;
  link::InitializationSequence initialization_;
  link::FilterLock filterLock_;
  link::StrayStream strayStream_;
  run::Recorder recorder_;
  run::Measurement measurement_;  // hands its samples' lines to recorder_
  run::SilenceWatch silence_;
  run::Resumption resumption_;
  watch::EventLog events_;
  plots::MaskWatch maskWatch_;
  double stabilityThreshold_ = analysis::StabilityChange::kDefaultThreshold;
  analysis::StabilityChange stabilityChange_;
  std::optional<watch::RunFacts> runFacts_;

  double nominalHz_ = 0;
  QString lastPicturePath_;
  bool closing_ = false;
  RunState state_ = RunState::Idle;
  StateControls shown_ = controlsFor(RunState::Idle, false, false);  // what the menus show
};

}  // namespace tessarin::app
