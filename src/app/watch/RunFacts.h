#pragma once

#include <QDateTime>
#include <chrono>
#include <optional>

#include "run/Measurement.h"
#include "run/RunChoices.h"

namespace tessarin::app::watch {

// What the served page tells of the current run, or of the last one once it has ended: taken
// at its Start, and kept until the next.
struct RunFacts {
  double dutHz = 0;
  double tauSeconds = 0;
  std::optional<run::FilterMode> mode;
  std::optional<run::Quantity> stored;
  QDateTime startedAt;
  // The console's steady clock at the Start, to place the samples on the calendar.
  std::chrono::milliseconds startedSinceStart{0};
};

}  // namespace tessarin::app::watch
