#pragma once

#include <QString>

namespace tessarin::run {

// What became of the lines handed to the recorder.
struct RecordOutcome {
  bool written = false;   // the data file holds every line handed over so far
  bool caughtUp = false;  // lines that had been waiting went in with this write
  int waiting = 0;        // lines that wait for the data file to take them
  QString reason;         // why the data file took none of them
};

// Where a measurement hands each accepted sample: the data file's writer, which turns the sample
// into its line and says what became of it.
class SampleLineWriter {
 public:
  // The stored quantity of one accepted sample, in the run's order.
  virtual RecordOutcome recordSample(double value) = 0;

 protected:
  ~SampleLineWriter() = default;
};

}  // namespace tessarin::run
