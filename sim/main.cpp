// tessarin-sim: a Tessarin / RS instrument on a pseudo-terminal, for trying the console without
// the hardware. Prints the line's path, then serves until SIGINT or SIGTERM.
#include <csignal>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "LineServer.h"
#include "SimLog.h"
#include "SimOptions.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

// Blocks the stop signals everywhere except inside the server's wait, so a stop cannot slip in
// between the check and the wait.
void catchStopSignals() {
  struct sigaction action {};
  action.sa_handler = requestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tessarin::sim;
  std::string error;
  const auto options = parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::cerr << "tessarin-sim: " << error << '\n';
    return 1;
  }
  if (options->showHelp) {
    std::cout << kSimUsage;
    return 0;
  }
  if (options->showVersion) {
    std::cout << "tessarin-sim (Tessarin / RS) " TESSARIN_VERSION "\n"
              << "License GPL-3.0-or-later <https://gnu.org/licenses/gpl.html>.\n"
              << "This is free software: you are free to change and redistribute it.\n"
              << "There is NO WARRANTY, to the extent permitted by law.\n";
    return 0;
  }

  std::ofstream logFile;
  if (!options->logPath.empty()) {
    logFile.open(options->logPath, std::ios::app);
    if (!logFile) {
      std::cerr << "tessarin-sim: cannot write the log " << options->logPath << '\n';
      return 1;
    }
  }
  SimLog log(options->logPath.empty() ? std::cerr : logFile);

  catchStopSignals();
  LineServer server(options->linkPath);
  const bool opened = options->devicePath.empty() ? server.openPseudoTerminal(error)
                                                  : server.openDevice(options->devicePath, error);
  if (!opened) {
    std::cerr << "tessarin-sim: " << error << '\n';
    return 1;
  }
  std::cout << server.peerPath() << std::endl;

  InstrumentModel model(options->instrument);
  model.setObserver(&log);
  server.run(model, log, stopRequested);
  return 0;
}
