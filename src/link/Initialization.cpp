#include "link/Initialization.h"

#include "link/DutDisplay.h"

namespace tessarin::link {

namespace {

// The port of the first checked Com item; Com 1 when none is.
int chosenComPort(const app::Menus& m) {
  const app::MenuItem* const items[] = {&m.com1, &m.com2, &m.com3, &m.com4};
  for (int n = 1; n <= 4; ++n) {
    if (items[n - 1]->checked()) return n;
  }
  return 1;
}

void showMeasuredFrequency(app::Console& c, double hz) {
  c.windows.measuredFrequencyBox.setText(formatGroupedFrequency(hz));
}

// End of the last stage: Start becomes available, in filtered mode once the filter has locked.
void becomeReady(app::Console& c) {
  c.menus.normalize.setEnabled(true);
  if (c.menus.filtered.checked()) {
    c.enter(app::RunState::WaitingForLock);
    return;
  }
  // With no mode chosen the instrument stays non-filtered, as the initialization left it ("FN0").
  c.enter(app::RunState::Ready);
  c.setStatus(QStringLiteral("Ready to start"));
  c.tasks.post([&c] { askToNormalize(c); });
}

}  // namespace

void startInitialization(app::Console& c) {
  // A port that cannot be opened leaves Initialization usable, so that the operator can choose
  // another Com item and try again.
  if (!c.serialPort.isOpen()) {
    const platform::Result<> opened = c.serialPort.open(chosenComPort(c.menus));
    if (!opened) {
      c.setStatus(QStringLiteral("Port not opened: ") + opened.reason());
      return;
    }
  }
  c.windows.dutFrequencyWindow.setVisible(true);
  c.menus.normalize.setEnabled(true);
  // A lock reported before this initialization says nothing about the instrument now.
  c.lockReply.clear();
  c.enter(app::RunState::Counting);
  c.initializationSequence.begin();
}

void takeCountReply(app::Console& c, std::string_view line) {
  using Outcome = InitializationSequence::CountOutcome;
  const Outcome outcome = c.initializationSequence.takeLongReply(line);
  if (outcome == Outcome::Ignored) return;
  c.setStatus(QStringLiteral("Initialization..."));
  switch (outcome) {
    case Outcome::Accepted:
      showMeasuredFrequency(c, c.initializationSequence.frequencies().counted);
      c.enter(app::RunState::Refining1);
      break;
    case Outcome::OutOfRange:
      // The operator may mend the DUT connection and initialize again.
      showMeasuredFrequency(c, c.initializationSequence.frequencies().counted);
      c.setStatus(QStringLiteral("Frequency out of range"));
      c.enter(app::RunState::Idle);
      break;
    case Outcome::Disagreeing:
      c.setStatus(QStringLiteral("Counts do not agree: check the DUT and initialize again"));
      c.enter(app::RunState::Idle);
      break;
    case Outcome::Ignored:
    case Outcome::Waiting:
      break;
  }
}

void takeStageSample(app::Console& c, std::string_view line) {
  const app::RunState state = c.state();
  const int stage = state == app::RunState::Refining1   ? 1
                    : state == app::RunState::Refining2 ? 2
                                                        : 3;
  if (!c.initializationSequence.takeStageSample(stage, line)) return;
  const DutFrequencies& f = c.initializationSequence.frequencies();
  showMeasuredFrequency(c, f.measured);
  c.windows.programmedFrequencyBox.setText(formatFrequency4(f.programmed));
  if (stage == 1) {
    c.enter(app::RunState::Refining2);
  } else if (stage == 2) {
    c.enter(app::RunState::Refining3);
  } else {
    becomeReady(c);
  }
}

}  // namespace tessarin::link
