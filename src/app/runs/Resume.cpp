#include "app/runs/Resume.h"

#include "app/Console.h"
#include "app/RunChoicesFromMenus.h"
#include "app/runs/Recording.h"
#include "app/runs/RunControl.h"
#include "app/tuning/Initialization.h"
#include "app/watch/Events.h"

namespace tessarin::app::runs {

namespace {

std::chrono::milliseconds now(const Console& c) { return c.platform().clock.sinceStart(); }

void initializeAgain(Console& c) {
  c.resumption().initializing(now(c));
  tuning::startInitialization(c);
}

void reopenPort(Console& c) {
  run::Resumption& resumption = c.resumption();
  if (!resumption.reopenDue(now(c))) return;
  c.setStatus(resumption.reconnectingText());
  const std::optional<int> port = readRunChoices(c.menus(), c.windows()).comPort;
  if (c.platform().serialPort.open(port.value_or(1))) initializeAgain(c);
}

}  // namespace

void loseRun(Console& c, const QString& what) {
  const Platform& p = c.platform();
  syncDataFile(c);
  run::Resumption& resumption = c.resumption();
  const bool firstLoss = !resumption.active();
  if (firstLoss) {
    resumption.lose(now(c), p.clock.shortDate() + ' ' + p.clock.time(),
                    c.measurement().sampleCount(), what);
  } else {
    resumption.reopenLater(now(c));
  }
  p.serialPort.close();
  c.enter(RunState::Resuming);
  c.setStatus(resumption.reconnectingText());
  if (firstLoss) watch::recordEvent(c, QStringLiteral("port-lost"), c.status());
}

void watchResumption(Console& c) {
  const run::Resumption& resumption = c.resumption();
  switch (resumption.step()) {
    case run::Resumption::Step::Reopening:
      reopenPort(c);
      break;
    case run::Resumption::Step::Initializing:
      // Once tuned, a filtered instrument answers the lock polls for as long as its filter takes.
      if (c.state() != RunState::WaitingForLock && resumption.due(now(c)))
        retryResumption(c, QStringLiteral("No answer within 30 s"));
      break;
    case run::Resumption::Step::WaitingToRetry:
      if (resumption.due(now(c))) initializeAgain(c);
      break;
    case run::Resumption::Step::Tuned:
      if (resumption.due(now(c))) {
        c.resumption().resumed();
        startResumedRun(c);
      }
      break;
  }
}

void retryResumption(Console& c, const QString& why) {
  c.resumption().retryLater(now(c));
  c.enter(RunState::Resuming);
  c.setStatus(why + QStringLiteral("; initialization again in 30 s"));
}

void resumeWhenSettled(Console& c) { c.resumption().tuned(now(c)); }

void abandonResumption(Console& c) {
  c.resumption().abandon();
  c.enter(RunState::Idle);
  c.setStatus(QStringLiteral("Stopped; the lost run was not resumed"));
  saveWaitingLines(c);
  watch::recordEvent(c, QStringLiteral("stopped"),
                     QStringLiteral("Stopped; the lost run was not resumed"));
}

}  // namespace tessarin::app::runs
