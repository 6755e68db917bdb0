#include "platform/qt/QtServices.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>
#include <QTime>

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

void QtEventPump::processPendingEvents() { QCoreApplication::processEvents(); }

QString QtClock::shortDate() const {
  return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

QString QtClock::time() const {
  return QLocale::system().toString(QTime::currentTime(), QStringLiteral("HH:mm:ss"));
}

void QtApplication::quit() { QCoreApplication::exit(0); }
