#pragma once

#include <QByteArray>
#include <string>
#include <vector>

namespace tessarin::test {

// One sample stream of the simulated instrument, from its "PH05" to its end ("PH00", "MK0" or the
// line going away), as the simulator's log tells it.
struct LoggedStream {
  std::string tauCommand;                  // the last "TA" command before the stream
  std::string coarseCommand, fineCommand;  // the last "DA" and "DB" commands before it
  QByteArray sent;            // every byte of its sample lines, faults included, in the order sent
  std::vector<double> times;  // the instrument's time of each sample line, s
};

// The streams of a log written by `tessarin-sim --log`, in order.
std::vector<LoggedStream> readLoggedStreams(const QByteArray& log);

// The lines of the log that carry `mark` ("!" for faults, "#" for remarks), without their time.
std::vector<QByteArray> loggedEvents(const QByteArray& log, char mark);

}  // namespace tessarin::test
