#include "qt/QtServices.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>
#include <QTime>

namespace tessarin::qt {

QtTimer::QtTimer(int intervalMs) {
  timer_.setInterval(intervalMs);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    if (onTick) onTick();
  });
}

void QtTimer::setEnabled(bool enabled) {
  if (enabled && !timer_.isActive()) timer_.start();
  if (!enabled) timer_.stop();
}

bool QtTimer::enabled() const { return timer_.isActive(); }

void QtTaskQueue::post(std::function<void()> task) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

QString QtClock::shortDate() const {
  return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

QString QtClock::time() const {
  return QLocale::system().toString(QTime::currentTime(), QStringLiteral("HH:mm:ss"));
}

std::chrono::milliseconds QtClock::sinceStart() const {
  return std::chrono::milliseconds(sinceStart_.elapsed());
}

void QtApplication::quit() { QCoreApplication::exit(0); }

}  // namespace tessarin::qt
