#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include "platform/Application.h"
#include "platform/Clock.h"
#include "platform/TaskQueue.h"
#include "platform/Timer.h"

namespace tessarin::qt {

// The lock supervision's one-second timer.
class QtTimer : public platform::Timer {
 public:
  explicit QtTimer(int intervalMs);
  void setEnabled(bool enabled) override;
  bool enabled() const override;

 private:
  QTimer timer_;
};

// Work queued behind the events already waiting in Qt's event loop.
class QtTaskQueue : public platform::TaskQueue {
 public:
  void post(std::function<void()> task) override;
};

// Date and time as the operator's locale shows them.
class QtClock : public platform::Clock {
 public:
  QtClock() { sinceStart_.start(); }
  QString shortDate() const override;
  QString time() const override;
  QDateTime dateTime() const override { return QDateTime::currentDateTime(); }
  std::chrono::milliseconds sinceStart() const override;

 private:
  QElapsedTimer sinceStart_;
};

class QtApplication : public platform::Application {
 public:
  void quit() override;
};

}  // namespace tessarin::qt
