// tessarin-sim: a Tessarin / RS instrument on a pseudo-terminal, for trying the console without
// the hardware. Prints the line's path, then serves until SIGINT or SIGTERM.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "LineServer.h"
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

bool makeLink(const std::string& linkPath, const std::string& target, std::string& error) {
  char existing[4096];
  // A link left behind by an earlier simulator is replaced; anything else is not touched.
  if (readlink(linkPath.c_str(), existing, sizeof existing) >= 0) unlink(linkPath.c_str());
  if (symlink(target.c_str(), linkPath.c_str()) == 0) return true;
  error = linkPath + ": " + std::strerror(errno);
  return false;
}

void removeLink(const std::string& linkPath, const std::string& target) {
  char existing[4096];
  const ssize_t length = readlink(linkPath.c_str(), existing, sizeof existing);
  if (length >= 0 && std::string(existing, static_cast<std::size_t>(length)) == target)
    unlink(linkPath.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kSimUsage;
    return 0;
  }
  std::string error;
  const auto options = ParseSimOptions(args, error);
  if (!options) {
    std::cerr << "tessarin-sim: " << error << '\n' << kSimUsage;
    return 2;
  }

  std::ofstream logFile;
  if (!options->logPath.empty()) {
    logFile.open(options->logPath, std::ios::app);
    if (!logFile) {
      std::cerr << "tessarin-sim: cannot write the log " << options->logPath << '\n';
      return 1;
    }
  }
  std::ostream& log = options->logPath.empty() ? std::cerr : logFile;

  catchStopSignals();
  LineServer server;
  const bool opened = options->devicePath.empty() ? server.openPseudoTerminal(error)
                                                  : server.openDevice(options->devicePath, error);
  if (!opened) {
    std::cerr << "tessarin-sim: " << error << '\n';
    return 1;
  }
  if (!options->linkPath.empty() && !makeLink(options->linkPath, server.peerPath(), error)) {
    std::cerr << "tessarin-sim: " << error << '\n';
    return 1;
  }
  std::cout << server.peerPath() << std::endl;

  InstrumentModel model(options->instrument);
  server.run(model, log, stopRequested);

  if (!options->linkPath.empty()) removeLink(options->linkPath, server.peerPath());
  return 0;
}
