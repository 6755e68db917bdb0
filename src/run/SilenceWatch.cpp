#include "run/SilenceWatch.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tessarin::run {

namespace {

SilenceWatch::Milliseconds tausOf(double tauSeconds, int taus) {
  return SilenceWatch::Milliseconds(std::llround(tauSeconds * 1000.0 * taus));
}

}  // namespace

void SilenceWatch::start(Milliseconds now, double tauSeconds) {
  using namespace std::chrono_literals;
  lastSample_ = now;
  tellAfter_ = std::max<Milliseconds>(10s, tausOf(tauSeconds, 10));
  lostAfter_ = std::max<Milliseconds>(60s, tausOf(tauSeconds, 30));
  told_ = false;
  sampled_ = false;
}

bool SilenceWatch::sampleCame(Milliseconds now) {
  lastSample_ = now;
  sampled_ = true;
  return std::exchange(told_, false);
}

std::optional<std::chrono::seconds> SilenceWatch::silenceToTell(Milliseconds now) {
  const Milliseconds silence = now - lastSample_;
  if (silence < tellAfter_) return std::nullopt;
  told_ = true;
  return std::chrono::duration_cast<std::chrono::seconds>(silence);
}

}  // namespace tessarin::run
