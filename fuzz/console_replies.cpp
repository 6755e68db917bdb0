// The instrument's replies, character by character, in every state of the console's dialogue
// with it. The first byte chooses the state a well-behaved instrument brings the console to, and
// frequency or phase data (waiting for the lock is reached in filtered mode, every other state in
// non-filtered mode); the other bytes then arrive on the serial line, each carriage return a
// sample interval after the one before. After them the instrument answers properly again and a
// run that is on is stopped: whatever arrived, the console must neither crash nor hang, and the
// data file must hold whole lines only.
#include <QFile>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>

#include "ConsoleOnFakes.h"
#include "app/Console.h"
#include "app/Startup.h"
#include "support/ScriptedInstrument.h"

namespace {

using namespace tessarin;
using namespace std::chrono_literals;
using app::RunState;

constexpr RunState kReachable[] = {
    RunState::Idle,      RunState::Counting,  RunState::Refining1,
    RunState::Refining2, RunState::Refining3, RunState::WaitingForLock,
    RunState::Ready,     RunState::Running,   RunState::Stopped};
constexpr int kStates = static_cast<int>(std::size(kReachable));
constexpr int kSamplesAfter = 5;

struct Bench : fuzz::ConsoleOnFakes {
  // Hands the console the instrument's next line, or its next sample while it streams; false
  // when the instrument has nothing more to say.
  bool deliverNextReply() {
    if (serial.pending.empty()) {
      if (!instrument.streaming) return false;
      instrument.run(1);
      return true;
    }
    char ch = 0;
    do {
      ch = serial.pending.front();
      serial.pending.pop_front();
      serial.receive(std::string(1, ch));
    } while (ch != '\n' && !serial.pending.empty());
    return true;
  }

  void bringTo(RunState target, bool phaseData) {
    app::Console& c = console;
    app::startUp(c);
    c.menus().com2.click();
    (target == RunState::WaitingForLock ? c.menus().filtered : c.menus().nonFiltered).click();
    (phaseData ? c.menus().phaseData : c.menus().frequencyData).click();
    dialogs.saveAnswers.push_back(dataFilePath());
    c.menus().saveFileAs.click();
    if (target == RunState::Idle) return;
    c.menus().initialization.click();
    const RunState tuned =
        target == RunState::Running || target == RunState::Stopped ? RunState::Ready : target;
    while (c.state() != tuned && deliverNextReply()) {
    }
    timer.tick();  // the first lock poll
    if (target != RunState::Running && target != RunState::Stopped) return;
    clock.now = 5s;
    c.menus().startStop.click();
    if (target == RunState::Stopped) {
      instrument.run(3);
      c.menus().startStop.click();
    }
  }

  // The scripted instrument answers on for a few samples, enough to see whether the console takes
  // proper data again; only while the console's tuning stays within 1500 Hz of its DUT: further
  // off, its phase would leave the reading's 32-bit range within those samples (the console may
  // have been tuned to whatever count the garbage held).
  void answerOn() {
    for (int n = 0;
         n < kSamplesAfter && std::abs(instrument.programmedHz() - instrument.dutHz) < 1500; ++n)
      instrument.run(1);
    serial.deliverPending();
  }

  // The serial events as the event loop runs them: a character, then the work it posted.
  void receive(char ch) {
    if (ch == '\r') clock.now += 200ms;
    serial.receive(std::string(1, ch));
    tasks.runPosted();
  }

  QString dataFilePath() const { return folder.filePath("osc1.DAT"); }

  test::ScriptedInstrument instrument{serial, 10000012.34567};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  Bench bench;
  const RunState target = kReachable[data[0] % kStates];
  bench.bringTo(target, data[0] / kStates % 2 == 1);

  bench.tasks.deferred = true;
  for (std::size_t i = 1; i < size; ++i) bench.receive(static_cast<char>(data[i]));
  bench.tasks.deferred = false;
  bench.tasks.runPosted();

  app::Console& c = bench.console;
  bench.timer.tick();
  bench.answerOn();
  if (app::showsStop(c.state())) c.menus().startStop.click();

  QFile file(bench.dataFilePath());
  if (file.open(QIODevice::ReadOnly) && file.size() > 0 && !file.readAll().endsWith('\n'))
    __builtin_trap();
  return 0;
}
