#include "app/tuning/Initialization.h"

#include "app/Console.h"
#include "app/RunChoicesFromMenus.h"
#include "app/runs/Resume.h"
#include "app/tuning/Normalization.h"
#include "app/watch/Events.h"
#include "link/DutFrequencyText.h"

namespace tessarin::app::tuning {

namespace {

void showMeasuredFrequency(Console& c, double hz) {
  c.windows().measuredFrequencyBox.setText(link::formatGroupedFrequency(hz));
}

// End of the last stage: Start becomes available, in filtered mode once the filter has locked.
// A lost run being brought back asks nothing: it starts again with the choices it had.
void becomeReady(Console& c) {
  const bool resuming = c.resumption().active();
  if (!resuming) c.menus().normalize.setEnabled(true);
  if (readRunChoices(c.menus(), c.windows()).mode == run::FilterMode::Filtered) {
    c.enter(RunState::WaitingForLock);
    watch::recordEvent(c, QStringLiteral("filter-unlocked"),
                       QStringLiteral("XTAL filter Unlocked, wait..."));
    return;
  }
  // With no mode chosen the instrument stays non-filtered, as the initialization left it ("FN0").
  c.enter(RunState::Ready);
  c.setStatus(QStringLiteral("Ready to start"));
  if (resuming) {
    runs::resumeWhenSettled(c);
  } else {
    c.platform().tasks.post([&c] { askToNormalize(c); });
  }
}

// A count that cannot be used ends the initialization; one that repeats a lost run's is tried
// again later.
void failInitialization(Console& c, const QString& why) {
  if (c.resumption().active()) return runs::retryResumption(c, why);
  c.setStatus(why);
  c.enter(RunState::Idle);
}

}  // namespace

void startInitialization(Console& c) {
  // A port that cannot be opened leaves Initialization usable, so that the operator can choose
  // another Com item and try again.
  platform::SerialPort& port = c.platform().serialPort;
  if (!port.isOpen()) {
    const platform::Result<> opened =
        port.open(readRunChoices(c.menus(), c.windows()).comPort.value_or(1));
    if (!opened) {
      c.setStatus(QStringLiteral("Port not opened: ") + opened.reason());
      return;
    }
  }
  c.windows().dutFrequencyWindow.setVisible(true);
  if (!c.resumption().active()) c.menus().normalize.setEnabled(true);
  c.filterLock().forget();
  c.enter(RunState::Counting);
  c.initialization().begin();
}

void takeCountReply(Console& c, std::string_view line) {
  using Outcome = link::InitializationSequence::CountOutcome;
  const Outcome outcome = c.initialization().takeLongReply(line);
  if (outcome == Outcome::Ignored) return;
  c.setStatus(QStringLiteral("Initialization..."));
  switch (outcome) {
    case Outcome::Accepted:
      showMeasuredFrequency(c, c.initialization().frequencies().counted);
      c.enter(RunState::Refining1);
      break;
    case Outcome::OutOfRange:
      // The operator may mend the DUT connection and initialize again.
      showMeasuredFrequency(c, c.initialization().frequencies().counted);
      failInitialization(c, QStringLiteral("Frequency out of range"));
      break;
    case Outcome::Disagreeing:
      failInitialization(c,
                         QStringLiteral("Counts do not agree: check the DUT and initialize again"));
      break;
    case Outcome::Ignored:
    case Outcome::Waiting:
      break;
  }
}

void takeStageSample(Console& c, std::string_view line) {
  const RunState state = c.state();
  const int stage = state == RunState::Refining1 ? 1 : state == RunState::Refining2 ? 2 : 3;
  if (!c.initialization().takeStageSample(stage, line)) return;
  const link::DutFrequencies& f = c.initialization().frequencies();
  showMeasuredFrequency(c, f.measured);
  c.windows().programmedFrequencyBox.setText(link::formatFrequency4(f.programmed));
  if (stage == 1) {
    c.enter(RunState::Refining2);
  } else if (stage == 2) {
    c.enter(RunState::Refining3);
  } else {
    becomeReady(c);
  }
}

}  // namespace tessarin::app::tuning
