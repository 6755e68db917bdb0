#pragma once

#include <chrono>
#include <ostream>
#include <string>

#include "model/InstrumentModel.h"

namespace tessarin::sim {

// The simulator's log: one line per event, each flushed at once so that a test can follow it
// while the simulator runs. Every line starts with the seconds since the log was made (wall
// clock, three decimals), then a mark:
//   T < CMD [> REPLY]     a command received and the reply line it got
//   T > n SENT t=TI x=X   sample line n of its stream: every byte sent for it (line ending
//                         included, escaped), the instrument's time and the DUT's time error
//   T ! FAULT             a fault as it happens, as --fault writes it
//   T # TEXT              anything else about the line
// Bytes outside "!" to "~" and the backslash are written as \r, \n, \\ or \xHH, so every field is
// free of blanks.
class SimLog : public InstrumentObserver {
 public:
  explicit SimLog(std::ostream& out);

  void command(const std::string& command, const std::string& reply);
  void remark(const std::string& text);
  void sampleSent(const SampleRecord& sample) override;
  void faultHappened(const Fault& fault) override;

 private:
  std::ostream& begin();

  std::ostream& out_;
  std::chrono::steady_clock::time_point start_;
};

// `bytes` with the escapes of the log.
std::string escaped(const std::string& bytes);

}  // namespace tessarin::sim
