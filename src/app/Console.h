#pragma once

#include <QString>

#include "app/ConsoleState.h"
#include "app/Menus.h"
#include "app/Windows.h"
#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/PlotControl.h"
#include "platform/SerialPort.h"
#include "platform/Timer.h"

// The platform services the console works through.
struct Platform {
  SerialPort& serial;
  Timer& timer;
  PlotControl& dataPlot;
  PlotControl& stabilityPlot;
  Dialogs& dialogs;
  Clock& clock;
  EventPump& events;
  Application& application;
};

// The main window: owns the shared state, the menus, the child windows and the platform services.
// The handlers of each subsystem are free functions on it, in the folder of their subsystem.
class Console {
 public:
  // `settingsFolder` holds globalsetting.txt, setting3.txt and serialports.txt.
  Console(const Platform& platform, QString settingsFolder);
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  ConsoleState st;
  Menus menus;
  Windows windows;

  SerialPort& serialPort;
  Timer& lockTimer;
  PlotControl& dataPlot;
  PlotControl& stabilityPlot;
  Dialogs& dialogs;
  Clock& clock;
  EventPump& events;
  Application& application;

  const QString settingsFolder;

  // The status text shown in the menu bar after "       Status :".
  void setStatus(const QString& text) { menus.statusText.setCaption(text); }
  const QString& status() const { return menus.statusText.caption(); }
};
