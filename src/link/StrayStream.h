#pragma once

#include <chrono>
#include <optional>

namespace tessarin::link {

// Sample lines that arrive although the console stopped the stream ("PH00" lost on the line, or
// an instrument that missed it): the stream is asked to stop again, at most once a second so that
// a stream in full flow does not get a command per line.
class StrayStream {
 public:
  // The console stopped the instrument's sample stream at `now`.
  void stopped(std::chrono::milliseconds now) { stoppedAt_ = now; }
  // A sample line came while no stream is expected: true when "PH00" should go out again now.
  bool shouldStopAgain(std::chrono::milliseconds now);

 private:
  static constexpr std::chrono::milliseconds kInterval{1000};
  std::optional<std::chrono::milliseconds> stoppedAt_;
};

}  // namespace tessarin::link
