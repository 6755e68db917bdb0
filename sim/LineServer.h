#pragma once

#include <csignal>
#include <string>

#include "SimLog.h"
#include "model/InstrumentModel.h"

namespace tessarin::sim {

// Carries the instrument model's dialogue over a serial line: the master side of a new
// pseudo-terminal, or an existing serial device. Commands are read up to CR or LF, handed to the
// model with the time they arrived, and the model's replies and sample lines are written back.
//
// A console may close and reopen the line at any time. While no one holds the other end the
// stream stops, nothing is written (a later opener would otherwise read stale lines) and the line
// is checked again ten times a second; the server never exits or spins because of it.
//
// When the model's line vanishes, the server closes it (and removes the link), waits, and opens a
// new pseudo-terminal (or the device again) under the same link.
class LineServer {
 public:
  // `linkPath`: a symbolic link kept pointing at the pseudo-terminal; empty for none.
  explicit LineServer(std::string linkPath);
  LineServer(const LineServer&) = delete;
  LineServer& operator=(const LineServer&) = delete;
  ~LineServer();

  // Opens a new pseudo-terminal in raw mode, so CR and LF pass unchanged, and links it.
  bool openPseudoTerminal(std::string& error);
  // Opens `path` at 9600 baud, 8 data bits, no parity, 1 stop bit, raw.
  bool openDevice(const std::string& path, std::string& error);
  // The path a console opens: the pseudo-terminal's slave or the device.
  const std::string& peerPath() const { return peerPath_; }

  // Serves until `stopRequested` becomes non-zero (set from a signal handler; SIGINT and SIGTERM
  // must be blocked by the caller so that they interrupt only the wait).
  void run(InstrumentModel& model, SimLog& log, const volatile std::sig_atomic_t& stopRequested);

 private:
  void takeInput(InstrumentModel& model, SimLog& log, double now);
  void send(const std::string& text, SimLog& log);
  void flushOutput();
  void hangUp(InstrumentModel& model, SimLog& log);
  bool peerPresent() const;
  void closeLine();
  bool reopen(std::string& error);

  std::string linkPath_;
  std::string devicePath_;
  int fd_ = -1;
  std::string peerPath_;
  std::string pendingCommand_;
  std::string output_;
  bool hungUp_ = false;
  bool droppingOutput_ = false;
};

}  // namespace tessarin::sim
