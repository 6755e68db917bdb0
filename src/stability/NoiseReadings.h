#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "stability/Statistics.h"

namespace tessarin::stability {

// The noise readings of one series that do not depend on the statistic analysed, kept for the
// next statistic over the same series: under one noise type per tau each of them reads every m-th
// point through the same differences, and the ratio of the modified to the Allan variance belongs
// to the data. Over a long series a reading costs as much as the statistic itself. Safe to share
// between threads: a reading is made once, whoever asks first, and the others that ask for it
// wait for it, while readings at other factors are made meanwhile.
class NoiseReadings {
 public:
  // The lag-1 autocorrelation reading of `reader` at the factor, by `read` the first time.
  std::optional<int> byAutocorrelation(Statistic reader, int factor,
                                       const std::function<std::optional<int>()>& read);
  // The phase noise by the variance ratio at the factor, by `read` the first time.
  std::optional<int> byVarianceRatio(int factor, const std::function<std::optional<int>()>& read);

 private:
  std::optional<int> kept(std::pair<int, int> key, const std::function<std::optional<int>()>& read);

  // Made under its own lock rather than by std::call_once, whose every first call costs a system
  // call to wake waiters that a series analysed on one thread never has.
  struct Reading {
    std::mutex making;
    bool made = false;
    std::optional<int> alpha;
  };

  std::mutex lock_;  // over the map; a reading is made outside it
  std::map<std::pair<int, int>, Reading> readings_;
};

}  // namespace tessarin::stability
