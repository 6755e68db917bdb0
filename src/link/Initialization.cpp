#include "link/Initialization.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "app/Console.h"
#include "link/DutDisplay.h"
#include "link/InstrumentCommands.h"

namespace {

constexpr int kCountSlots = 10;         // lngCountFreq(1 .. 10)
constexpr int kCheckedReply = 5;        // the reply at which readings 2 to 4 are compared
constexpr int kLastStageSlot = 20;      // dblStageSample(0 .. 20)
constexpr double kSampleSeconds = 0.2;  // the interval "TA000000C8" asks for
constexpr double kSampleSecondsSquared = 0.04;
constexpr double kReferenceHz = 120000000.0;

// The port of the first checked Com item; Com 1, the serial control's own default, when none is.
int chosenComPort(const Menus& m) {
  const MenuItem* const items[] = {&m.com1, &m.com2, &m.com3, &m.com4};
  for (int n = 1; n <= 4; ++n) {
    if (items[n - 1]->checked()) return n;
  }
  return 1;
}

// A port that cannot be opened leaves Initialization usable, so that the operator can choose
// another Com item and try again.
bool openPort(Console& c) {
  QString error;
  if (!c.serialPort.open(chosenComPort(c.menus), error)) {
    c.setStatus(QStringLiteral("Port not opened: ") + error);
    return false;
  }
  c.st.intPortOpen = 1;
  return true;
}

// Count readings are whole hertz; a garbled count far outside any DUT's range is held at the
// limit of the reading's range instead of overflowing it.
std::int32_t toWholeHertz(double hz) {
  constexpr double lowest = std::numeric_limits<std::int32_t>::min();
  constexpr double highest = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::clamp(std::nearbyint(hz), lowest, highest));
}

bool readingsAgree(const ConsoleState& st, int first) {
  return st.lngCountFreq[first] == st.lngCountFreq[first + 1] &&
         st.lngCountFreq[first + 1] == st.lngCountFreq[first + 2];
}

// A new initialization numbers its count replies and stage samples from the start again.
void resetCounting(ConsoleState& st) {
  st.intLongReplies = 0;
  std::fill(st.lngCountFreq.begin(), st.lngCountFreq.end(), 0);
  st.intStageLength = 3;
  st.intStageIndex = 0;
}

// The operator may mend the DUT connection and initialize again.
void stopCounting(Console& c, const QString& status) {
  c.st.intCounting = 0;
  c.setStatus(status);
  c.menus.initialization.setEnabled(true);
}

// Takes the agreed count frequency. False when it is out of the instrument's range.
bool acceptCount(Console& c, std::int32_t hz) {
  ConsoleState& st = c.st;
  st.dblCountFreq = hz;
  c.windows.measuredFrequencyBox.setText(formatGroupedFrequency(st.dblCountFreq));
  if (st.dblCountFreq > kMaxDutHz || st.dblCountFreq < kMinDutHz) {
    // Counting ends here, so that the reply to the last request cannot hide the message.
    stopCounting(c, QStringLiteral("Frequency out of range"));
    return false;
  }
  programFrequency(c, st.dblCountFreq);
  sendCommand(c, "FN0");
  sendCommand(c, "MK1");
  st.intCounting = 0;
  sendCommand(c, "TA000000C8");
  sendCommand(c, "PH05");
  return true;
}

// One count reply, `digits` being its count field. Readings 2 to 4 must agree at the fifth reply;
// when they do not, counting goes on until the last three readings agree or the slots run out.
// False when the accepted frequency is out of range.
bool takeCountReply(Console& c, const std::string& digits) {
  ConsoleState& st = c.st;
  const int k = st.intLongReplies;
  if (k > kCountSlots) return true;
  c.setStatus(QStringLiteral("Initialization..."));
  st.dblCountFreq = readingCounts(digits) * st.dblCountScale;
  st.lngCountFreq[k] = toWholeHertz(st.dblCountFreq);
  if (k <= kCheckedReply) sendCommand(c, "CB9");
  if (k == kCheckedReply && readingsAgree(st, 2)) return acceptCount(c, st.lngCountFreq[4]);
  if (k > kCheckedReply && readingsAgree(st, k - 2)) return acceptCount(c, st.lngCountFreq[k]);
  if (k > kCheckedReply && k < kCountSlots) sendCommand(c, "CB9");
  if (k == kCountSlots) {
    stopCounting(c, QStringLiteral("Counts do not agree: check the DUT and initialize again"));
  }
  return true;
}

// End of the last stage: Start becomes available, in filtered mode once the filter has locked.
void becomeReady(Console& c) {
  c.menus.normalize.setEnabled(true);
  if (c.menus.filtered.checked()) {
    c.lockTimer.setEnabled(true);
    return;
  }
  // With no mode chosen the instrument stays non-filtered, as the initialization left it ("FN0").
  c.menus.startStop.setEnabled(true);
  c.menus.startStop.setCaption(QStringLiteral("S&tart"));
  c.setStatus(QStringLiteral("Ready to start"));
  askToNormalize(c);
}

// One sample of a refinement stage. A stage ends when its last slot is filled: the stream stops,
// the fit measures the DUT and the instrument is tuned to it.
void takeStageSample(Console& c, const std::string& line) {
  ConsoleState& st = c.st;
  const int n = st.intStageLength;
  const int i = st.intStageIndex;
  if (i < 0 || i > kLastStageSlot) return;
  st.dblStageSample[i] = readingCounts(line) / kReferenceHz;
  if (i == n) {
    sendCommand(c, "PH00");
    fitStageFrequency(c);
    programFrequency(c, st.dblDutFreq);
    if (n == 3 || n == 12) {
      st.intStageLength = n == 3 ? 12 : 20;
      st.intStageIndex = 0;
      sendCommand(c, "PH05");
    } else if (n == 20) {
      becomeReady(c);
    }
  }
  ++st.intStageIndex;
}

}  // namespace

void startInitialization(Console& c) {
  ConsoleState& st = c.st;
  if (st.intPortOpen == 0 && !openPort(c)) return;
  c.windows.dutFrequencyWindow.setVisible(true);
  st.intInitPending = 0;
  c.menus.initialization.setEnabled(false);
  c.menus.normalize.setEnabled(true);
  resetCounting(st);
  c.setStatus(QStringLiteral("Initialization..."));
  sendCommand(c, "MK0");
  st.intCounting = 1;
  sendCommand(c, "CB9");
}

void handleInitializationReply(Console& c, std::string& line) {
  ConsoleState& st = c.st;
  const std::string entry = line;
  if (entry.size() > 8) {
    ++st.intLongReplies;
    line = entry.substr(2, 8);
    if (entry.front() == 'C' && st.intCounting == 1 && !takeCountReply(c, line)) return;
  } else if (entry.size() == 8) {
    takeStageSample(c, entry);
  }
  if (entry.find('L') == 1) st.strLockReply = entry.size() > 8 ? entry.substr(2, 8) : entry;
}

void fitStageFrequency(Console& c) {
  ConsoleState& st = c.st;
  const int n = st.intStageLength;
  st.dblSumY = st.dblSumX = st.dblSumXY = st.dblSumXX = 0;
  // Sample lines already under way when "PH00" went out may be handled while the fit lets events
  // run; they go past this stage's slots and leave the fitted samples alone.
  st.intStageIndex = n + 1;
  for (int i = 1; i <= n; ++i) {
    c.events.processPendingEvents();
    const double y = st.dblStageSample[i];
    st.dblSumY += y;
    st.dblSumXY += i * y * kSampleSeconds;
    st.dblSumX += i * kSampleSeconds;
    st.dblSumXX += i * i * kSampleSecondsSquared;
  }
  st.intStageIndex = n + 1;
  st.dblSlope =
      (n * st.dblSumXY - st.dblSumX * st.dblSumY) / (n * st.dblSumXX - st.dblSumX * st.dblSumX);

  // A slope of zero means the DUT runs exactly at the programmed frequency.
  const double measured = st.dblFineFreq / 32 + st.dblCoarseFreq + (1 - st.dblSlope) * 1000;
  st.dblDutFreq = std::floor(measured * 100000) / 100000;
  c.windows.measuredFrequencyBox.setText(formatGroupedFrequency(st.dblDutFreq));
  st.dblProgFreq = programmedFrequency(st.dblCoarseFreq, st.dblFineFreq);
  c.windows.programmedFrequencyBox.setText(formatFrequency4(st.dblProgFreq));
  st.dblDutFreqRounded = std::nearbyint(st.dblDutFreq);
}
