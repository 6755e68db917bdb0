#pragma once

#include <cmath>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "link/InstrumentCommands.h"
#include "support/Fakes.h"

namespace tessarin::test {

// Eight upper-case hexadecimal digits, as the instrument writes its fields.
inline std::string Hex8(std::int32_t value) {
  const std::string digits = "00000000" + link::hexText(value);
  return digits.substr(digits.size() - 8);
}

// A simulated instrument behind a FakeSerialPort. It answers "CB9" with a count reply, streams
// one sample line per 200 ms interval between "PH05" and "PH00", and answers "CL9" with scripted
// lock replies. The samples are the phase of the DUT against the frequency the "DA"/"DB" words
// program: it moves by (programmed − DUT) / 1000 seconds per second.
class ScriptedInstrument {
 public:
  ScriptedInstrument(FakeSerialPort& port, double dut) : dutHz(dut), port_(port) {
    port_.instrument = [this](const std::string& command) { answer(command); };
  }

  // Delivers what is queued, then lets the sample stream run until the console stops it (at
  // most `maxSamples` lines).
  void run(int maxSamples = 100) {
    port_.deliverPending();
    for (int n = 0; streaming && n < maxSamples; ++n) {
      port_.queueLine(nextSample());
      port_.deliverPending();
    }
  }

  // The frequency the last pair of words programs.
  double programmedHz() const {
    return static_cast<double>(coarseWord_) * 120000000.0 / 65536 +
           static_cast<double>(fineWord_) * 120000000.0 / 268435456 / 32 + 1000;
  }

  double dutHz;
  std::deque<double> countHz;           // answers to "CB9"; when used up, the DUT's own count
  std::deque<std::string> lockReplies;  // answers to "CL9"; when used up, none
  bool streaming = false;
  std::vector<int> streamLengths;  // sample lines sent in each stream, from "PH05" to "PH00"

 private:
  void answer(const std::string& command) {
    if (command == "CB9") {
      double hz = dutHz;
      if (!countHz.empty()) {
        hz = countHz.front();
        countHz.pop_front();
      }
      port_.queueLine("CB" + Hex8(static_cast<std::int32_t>(std::nearbyint(hz / 5))));
    } else if (command.rfind("DA", 0) == 0) {
      coarseWord_ = std::stol(command.substr(2, 4), nullptr, 16);
    } else if (command.rfind("DB", 0) == 0) {
      fineWord_ = std::stol(command.substr(2, 8), nullptr, 16) / 16;
    } else if (command == "PH05") {
      streaming = true;
      streamLengths.push_back(0);
    } else if (command == "PH00") {
      streaming = false;
    } else if (command == "CL9" && !lockReplies.empty()) {
      port_.queueLine(lockReplies.front());
      lockReplies.pop_front();
    }
  }

  std::string nextSample() {
    phaseSeconds_ += (programmedHz() - dutHz) / 1000 * 0.2;
    ++streamLengths.back();
    return Hex8(static_cast<std::int32_t>(std::nearbyint(phaseSeconds_ * 120000000.0)));
  }

  FakeSerialPort& port_;
  long coarseWord_ = 0;
  long fineWord_ = 0;
  double phaseSeconds_ = 0.0123;
};

}  // namespace tessarin::test
