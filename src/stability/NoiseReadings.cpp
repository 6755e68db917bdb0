#include "stability/NoiseReadings.h"

namespace tessarin::stability {

namespace {

// The key of the variance ratio, which no statistic's own number takes.
constexpr int kVarianceRatio = -1;

}  // namespace

std::optional<int> NoiseReadings::byAutocorrelation(
    Statistic reader, int factor, const std::function<std::optional<int>()>& read) {
  return kept({static_cast<int>(reader), factor}, read);
}

std::optional<int> NoiseReadings::byVarianceRatio(int factor,
                                                  const std::function<std::optional<int>()>& read) {
  return kept({kVarianceRatio, factor}, read);
}

// The map's nodes stay where they are as others are added, so a reading is made outside its lock.
std::optional<int> NoiseReadings::kept(std::pair<int, int> key,
                                       const std::function<std::optional<int>()>& read) {
  Reading* reading = nullptr;
  {
    const std::scoped_lock hold(lock_);
    reading = &readings_.try_emplace(key).first->second;
  }
  const std::scoped_lock making(reading->making);
  if (!reading->made) {
    reading->alpha = read();
    reading->made = true;
  }
  return reading->alpha;
}

}  // namespace tessarin::stability
