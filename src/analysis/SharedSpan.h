#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace tessarin::analysis {

// A phase series and where it starts: the whole seconds of its first run's header (on the
// console's clock, records::headerStart()), or none for a column file, whose first sample is taken
// to be every other column file's.
struct PlacedSeries {
  std::span<const double> phase;
  std::optional<std::int64_t> startSeconds;
  std::string label;  // how messages name it: its file
};

// The part of each series that lies within the span all of them cover, sample k of each at the
// same instant. A series starts round((start - earliest start) / tau0) samples after the earliest,
// as the runs of one file are joined. Fails, naming the files, when some series have a start and
// others do not, or when they share no span.
platform::Result<std::vector<std::span<const double>>> sharedSpan(
    std::span<const PlacedSeries> series, double tau0);

}  // namespace tessarin::analysis
