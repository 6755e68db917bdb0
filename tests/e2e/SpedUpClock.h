#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QLocale>

#include "platform/Clock.h"

namespace tessarin::test {

// The console's clock running as fast as the simulated instrument's: a run's header times, its
// silences and its waits measured in the instrument's seconds.
class SpedUpClock : public platform::Clock {
 public:
  explicit SpedUpClock(int speedup) : speedup_(speedup), start_(QDateTime::currentDateTime()) {
    elapsed_.start();
  }
  QString shortDate() const override {
    return QLocale::system().toString(now().date(), QLocale::ShortFormat);
  }
  QString time() const override { return now().toString(QStringLiteral("HH:mm:ss")); }
  std::chrono::milliseconds sinceStart() const override {
    return std::chrono::milliseconds(elapsed_.elapsed() * speedup_);
  }
  QDateTime dateTime() const override { return now(); }

 private:
  QDateTime now() const { return start_.addMSecs(elapsed_.elapsed() * speedup_); }

  int speedup_;
  QDateTime start_;
  QElapsedTimer elapsed_;
};

}  // namespace tessarin::test
