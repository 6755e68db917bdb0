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

// Made under the lock: a second thread that asks for the same reading would only make it again.
std::optional<int> NoiseReadings::kept(std::pair<int, int> key,
                                       const std::function<std::optional<int>()>& read) {
  const std::scoped_lock hold(lock_);
  const auto found = readings_.find(key);
  if (found != readings_.end()) return found->second;
  return readings_.emplace(key, read()).first->second;
}

}  // namespace tessarin::stability
