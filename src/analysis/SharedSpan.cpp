#include "analysis/SharedSpan.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessarin::analysis {

platform::Result<std::vector<std::span<const double>>> sharedSpan(
    std::span<const PlacedSeries> series, double tau0) {
  using Spans = platform::Result<std::vector<std::span<const double>>>;
  std::string files;
  for (const PlacedSeries& one : series) files += (files.empty() ? "" : ", ") + one.label;
  const bool placed = series.front().startSeconds.has_value();
  std::int64_t earliest = 0;
  for (const PlacedSeries& one : series) {
    if (one.startSeconds.has_value() != placed)
      return Spans::failure(QString::fromStdString(
          files + ": a column file has no start time to place it beside a .DAT run"));
    if (placed)
      earliest = std::min(earliest == 0 ? *one.startSeconds : earliest, *one.startSeconds);
  }
  std::vector<std::int64_t> offsets;
  std::int64_t from = 0;
  std::int64_t to = std::numeric_limits<std::int64_t>::max();
  for (const PlacedSeries& one : series) {
    const std::int64_t offset =
        placed ? std::llround(static_cast<double>(*one.startSeconds - earliest) / tau0) : 0;
    offsets.push_back(offset);
    from = std::max(from, offset);
    to = std::min(to, offset + static_cast<std::int64_t>(one.phase.size()));
  }
  if (to <= from)
    return Spans::failure(
        QString::fromStdString(files + ": the pairs share no span of time: no sample of one "
                                       "lies where every other has one"));
  std::vector<std::span<const double>> shared;
  for (std::size_t k = 0; k < series.size(); ++k)
    shared.push_back(series[k].phase.subspan(static_cast<std::size_t>(from - offsets[k]),
                                             static_cast<std::size_t>(to - from)));
  return shared;
}

}  // namespace tessarin::analysis
