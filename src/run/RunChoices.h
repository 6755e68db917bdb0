#pragma once

#include <QString>
#include <optional>
#include <string>

#include "link/InitializationSequence.h"
#include "run/DataFile.h"
#include "run/Measurement.h"

namespace tessarin::run {

enum class FilterMode { Filtered, NonFiltered };

// A run's sample interval.
struct Tau {
  double milliseconds = 1000;
  double seconds = 1;
  std::string command;  // "TA" and the milliseconds as eight hexadecimal digits

  static Tau ofMilliseconds(double milliseconds);
};

// The operator's choices for the instrument and a run, as the menus and windows hold them at
// the moment a handler acts. Nothing where a radio group has no item checked.
struct RunChoices {
  std::optional<int> comPort;  // the first checked Com item
  std::optional<FilterMode> mode;
  std::optional<Quantity> stored;
  std::optional<Quantity> shown;  // the data plot's quantity; nothing: no curve
  bool autoscale = true;
  bool limits = false;
  bool normalize = false;
  Tau tau = Tau::ofMilliseconds(1000);
};

// What the run's measurement needs: readings scaled to the DUT's rounded frequency, the phase
// measured against `referenceHz` (the nominal or the measured DUT frequency).
RunSettings runSettingsFor(const RunChoices& choices, const link::DutFrequencies& dut,
                           double referenceHz);

// The header of a run measured against `referenceHz`, started on `date` at `time`.
RunHeader runHeaderFor(const RunChoices& choices, const QString& path, const QString& date,
                       const QString& time, double referenceHz);

}  // namespace tessarin::run
