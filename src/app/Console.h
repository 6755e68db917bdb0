#pragma once

#include <QString>
#include <chrono>
#include <optional>
#include <string>

#include "app/Menus.h"
#include "app/RunState.h"
#include "app/Windows.h"
#include "graphics/PlotLimits.h"
#include "link/InitializationSequence.h"
#include "link/InstrumentLink.h"
#include "link/ReplyFramer.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/PlotControl.h"
#include "platform/Printer.h"
#include "platform/SerialPort.h"
#include "platform/TaskQueue.h"
#include "platform/Timer.h"
#include "run/DataFile.h"
#include "run/Measurement.h"

namespace tessarin::app {

// The platform services the console works through.
struct Platform {
  platform::SerialPort& serialPort;
  platform::Timer& lockTimer;
  platform::PlotControl& dataPlot;
  platform::PlotControl& stabilityPlot;
  platform::Dialogs& dialogs;
  platform::Clock& clock;
  platform::TaskQueue& tasks;
  platform::Application& application;
  platform::Printer& printer;
};

// The main window: owns the menus, the child windows, the instrument dialogue, the measurement
// and the platform services, and the one state the console is in. The handlers of each
// subsystem are free functions on it, in the folder of their subsystem.
class Console {
 public:
  // `settingsFolder` holds globalsetting.txt, setting3.txt and serialports.txt.
  Console(const Platform& platform, QString settingsFolder);
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  Menus menus;
  Windows windows;

  platform::SerialPort& serialPort;
  platform::Timer& lockTimer;
  platform::PlotControl& dataPlot;
  platform::PlotControl& stabilityPlot;
  platform::Dialogs& dialogs;
  platform::Clock& clock;
  platform::TaskQueue& tasks;
  platform::Application& application;
  platform::Printer& printer;

  const QString settingsFolder;

  link::InstrumentLink instrument;
  link::ReplyFramer replyFramer;
  link::InitializationSequence initializationSequence;
  run::Measurement measurement;
  run::DataFile dataFile;
  // The current run's header, and the lines that wait for the data file to take them.
  QByteArray runHeader;
  run::WaitingLines waitingLines;

  // The last lock reply ("CL1" when the XTAL filter has locked).
  std::string lockReply;
  // The frequency a normalized run is measured against, as last taken from the "Nominal DUT" box.
  double nominalHz = 0;
  // The plot limits taken over at the last start with "&Limits".
  graphics::PlotLimits plotLimits;
  // When the console last stopped the instrument's sample stream.
  std::optional<std::chrono::milliseconds> streamStoppedAt;
  // The picture file chosen last; the save dialog offers it again.
  QString lastPicturePath;
  // The main window is closing: tool windows let themselves be closed.
  bool closing = false;

  RunState state() const { return state_; }
  // Enters `next` and shows what it allows: the Start/Stop caption, the Start/Stop and
  // Initialization items, the lock poll.
  void enter(RunState next);
  // Shows the current state again after something it depends on changed (the data file choice).
  void showState() { enter(state_); }

  // The status text shown in the menu bar after "       Status :".
  void setStatus(const QString& text) { menus.statusText.setCaption(text); }
  const QString& status() const { return menus.statusText.caption(); }

 private:
  RunState state_ = RunState::Idle;
};

}  // namespace tessarin::app
