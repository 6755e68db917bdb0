#pragma once

#include <chrono>
#include <optional>

namespace tessarin::run {

// How long a run has gone without a sample line, against what its tau leads one to expect. A
// silence of max(10 s, 10 tau) is worth telling the operator; one of max(60 s, 30 tau) means the
// instrument is lost, even when the port still looks open.
class SilenceWatch {
 public:
  using Milliseconds = std::chrono::milliseconds;

  // A run starts at `now`: the silence is counted from here until its first sample.
  void start(Milliseconds now, double tauSeconds);
  // A sample line came at `now`. True when a silence had been told, which is now over.
  bool sampleCame(Milliseconds now);
  // The silence at `now`, in whole seconds, once it is long enough to tell; it is then told.
  std::optional<std::chrono::seconds> silenceToTell(Milliseconds now);
  // The silence at `now` is long enough to take the instrument for lost.
  bool instrumentLost(Milliseconds now) const { return now - lastSample_ >= lostAfter_; }
  // When the run's last sample came; nothing before its first.
  std::optional<Milliseconds> lastSample() const {
    return sampled_ ? std::optional(lastSample_) : std::nullopt;
  }

 private:
  Milliseconds lastSample_{0};
  Milliseconds tellAfter_{10000};
  Milliseconds lostAfter_{60000};
  bool told_ = false;
  bool sampled_ = false;
};

}  // namespace tessarin::run
