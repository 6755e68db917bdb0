#pragma once

#include <QTimer>

#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/Timer.h"

// The lock supervision's one-second timer.
class QtTimer : public Timer {
 public:
  explicit QtTimer(int intervalMs);
  void setEnabled(bool enabled) override;
  bool enabled() const override;

 private:
  QTimer timer_;
};

class QtEventPump : public EventPump {
 public:
  void processPendingEvents() override;
};

// Date and time as the operator's locale shows them.
class QtClock : public Clock {
 public:
  QString shortDate() const override;
  QString time() const override;
};

class QtApplication : public Application {
 public:
  void quit() override;
};
