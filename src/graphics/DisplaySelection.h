#pragma once

#include "app/Console.h"

namespace tessarin::graphics {

// The data plot shows the frequency difference or the phase difference of the samples; the
// choice renames its title and is read by the sample handler.
void showFrequencyDifference(app::Console& c);
void showPhaseDifference(app::Console& c);

}  // namespace tessarin::graphics
