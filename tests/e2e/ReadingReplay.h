#pragma once

#include <QByteArray>
#include <string>
#include <vector>

namespace tessarin::test {

// What a run should have recorded, worked out in the test from the lines the instrument sent (as
// the simulator logged them) and the words it was tuned with, by the definition of a reading (a
// signed count of the 120 MHz reference), not by the console's code.
struct ReplayedRun {
  double measuredHz = 0;    // the DUT frequency of the run's header
  double programmedHz = 0;  // the synthesizer's frequency, from the last "DA" and "DB" words
  double tauSeconds = 1;
  bool frequencyData = true;
};

// The frequency the instrument's synthesizer runs at for the coarse word "DA..." and the fine
// word "DB..." as sent: coarse + fine / 32 + 1000 Hz.
double programmedFrequency(const std::string& coarseCommand, const std::string& fineCommand);

// The reply lines a console frames from `bytes`: a carriage return hands over what was collected
// since the last line feed, a line feed starts afresh.
std::vector<std::string> framedLines(const QByteArray& bytes);

// The value of each sample line the run writes for the reply lines `lines` of the run, in order:
// eight-digit lines are readings, the first only sets the reference, a reading that jumps is
// dropped, and the run ends at the sample limit.
std::vector<double> expectedSampleValues(const std::vector<std::string>& lines,
                                         const ReplayedRun& run);

}  // namespace tessarin::test
