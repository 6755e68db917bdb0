#include "LineServer.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sstream>

namespace tessarin::sim {

namespace {

// More than this waiting for a console that does not read, and new text is dropped.
constexpr std::size_t kOutputLimit = 64 * 1024;
constexpr double kPeerCheckSeconds = 0.1;

bool makeRaw(int fd, bool setSpeed) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) return false;
  cfmakeraw(&settings);
  settings.c_cflag |= CLOCAL | CREAD;
  if (setSpeed && (cfsetispeed(&settings, B9600) != 0 || cfsetospeed(&settings, B9600) != 0))
    return false;
  return tcsetattr(fd, TCSANOW, &settings) == 0;
}

std::string systemError(const std::string& what) { return what + ": " + std::strerror(errno); }

std::optional<std::string> linkTarget(const std::string& linkPath) {
  char target[4096];
  const ssize_t length = readlink(linkPath.c_str(), target, sizeof target);
  if (length < 0) return std::nullopt;
  return std::string(target, static_cast<std::size_t>(length));
}

timespec timeoutOf(double seconds) {
  const double whole = std::floor(std::max(seconds, 0.0));
  return {static_cast<time_t>(whole), static_cast<long>((std::max(seconds, 0.0) - whole) * 1e9)};
}

}  // namespace

LineServer::LineServer(std::string linkPath) : linkPath_(std::move(linkPath)) {}

LineServer::~LineServer() { closeLine(); }

bool LineServer::openPseudoTerminal(std::string& error) {
  fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) {
    error = systemError("posix_openpt");
    return false;
  }
  const char* slave = nullptr;
  if (grantpt(fd_) != 0 || unlockpt(fd_) != 0 || (slave = ptsname(fd_)) == nullptr) {
    error = systemError("pseudo-terminal set-up");
    return false;
  }
  peerPath_ = slave;
  // Raw mode belongs to the slave side and outlives this brief opening.
  const int slaveFd = open(slave, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slaveFd < 0) {
    error = systemError(peerPath_);
    return false;
  }
  const bool raw = makeRaw(slaveFd, false);
  close(slaveFd);
  if (!raw) {
    error = systemError("raw mode on " + peerPath_);
    return false;
  }
  if (linkPath_.empty()) return true;
  // A link left behind by an earlier simulator is replaced; anything else is not touched.
  if (linkTarget(linkPath_)) unlink(linkPath_.c_str());
  if (symlink(peerPath_.c_str(), linkPath_.c_str()) == 0) return true;
  error = systemError(linkPath_);
  return false;
}

bool LineServer::openDevice(const std::string& path, std::string& error) {
  devicePath_ = path;
  fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) {
    error = systemError(path);
    return false;
  }
  if (!makeRaw(fd_, true)) {
    error = systemError("9600 8N1 raw on " + path);
    return false;
  }
  peerPath_ = path;
  return true;
}

void LineServer::run(InstrumentModel& model, SimLog& log,
                     const volatile std::sig_atomic_t& stopRequested) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const auto secondsNow = [start] {
    return std::chrono::duration<double>(Clock::now() - start).count();
  };
  sigset_t waitMask;
  sigemptyset(&waitMask);
  std::optional<double> backAt;  // while the line is away: when it comes back

  while (!stopRequested) {
    double now = secondsNow();
    if (backAt) {
      std::string error;
      if (now < *backAt) {
        const timespec timeout = timeoutOf(*backAt - now);
        ppoll(nullptr, 0, &timeout, &waitMask);
      } else if (reopen(error)) {
        backAt.reset();
        log.remark("line back at " + peerPath_);
      } else {
        log.remark("cannot open the line again: " + error);
        backAt = now + kPeerCheckSeconds;
      }
      continue;
    }
    if (hungUp_ && peerPresent()) {
      hungUp_ = false;
      log.remark("line opened");
    }
    if (!hungUp_) send(model.advanceTo(now), log);
    if (const auto away = model.takeVanish()) {
      closeLine();
      std::ostringstream text;
      text << "line gone for " << *away << " s";
      log.remark(text.str());
      backAt = now + *away;
      continue;
    }

    double wait = hungUp_ ? kPeerCheckSeconds : 3600.0;
    if (const auto due = model.nextSampleDue(); due && !hungUp_) wait = std::min(wait, *due - now);
    const timespec timeout = timeoutOf(wait);
    // A closed line reports a hang-up at every wait; it is looked at on the timer instead.
    pollfd line{fd_, static_cast<short>(POLLIN | (output_.empty() ? 0 : POLLOUT)), 0};
    const int ready = ppoll(&line, hungUp_ ? 0 : 1, &timeout, &waitMask);
    if (ready < 0 && errno != EINTR) {
      log.remark(systemError("ppoll"));
      return;
    }
    if (ready <= 0 || hungUp_) continue;
    now = secondsNow();
    if (line.revents & (POLLIN | POLLHUP | POLLERR)) takeInput(model, log, now);
    if (!hungUp_ && (line.revents & POLLOUT)) flushOutput();
  }
}

void LineServer::takeInput(InstrumentModel& model, SimLog& log, double now) {
  char buffer[512];
  for (;;) {
    const ssize_t count = read(fd_, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    if (count <= 0) {
      hangUp(model, log);
      return;
    }
    for (ssize_t i = 0; i < count; ++i) {
      const char ch = buffer[i];
      if (ch != '\r' && ch != '\n') {
        pendingCommand_ += ch;
        continue;
      }
      if (pendingCommand_.empty()) continue;
      send(model.advanceTo(now), log);
      const std::string reply = model.handleCommand(pendingCommand_, now);
      log.command(pendingCommand_, reply);
      send(reply, log);
      pendingCommand_.clear();
    }
  }
}

void LineServer::send(const std::string& text, SimLog& log) {
  if (text.empty()) return;
  if (output_.size() + text.size() > kOutputLimit) {
    if (!droppingOutput_) log.remark("console is not reading; dropping output");
    droppingOutput_ = true;
    return;
  }
  droppingOutput_ = false;
  output_ += text;
  flushOutput();
}

void LineServer::flushOutput() {
  while (!output_.empty()) {
    const ssize_t written = write(fd_, output_.data(), output_.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // full, or gone: the next wait tells which
    output_.erase(0, static_cast<std::size_t>(written));
  }
}

// Nobody holds the other end any more. Whatever was written and not read is discarded so that
// the next console starts on a clean line.
void LineServer::hangUp(InstrumentModel& model, SimLog& log) {
  hungUp_ = true;
  const bool streaming = model.streaming();
  model.stopStream();
  output_.clear();
  pendingCommand_.clear();
  tcflush(fd_, TCOFLUSH);
  log.remark(streaming ? "no one holds the line open; stream stopped"
                       : "no one holds the line open");
}

bool LineServer::peerPresent() const {
  pollfd line{fd_, POLLIN, 0};
  return poll(&line, 1, 0) >= 0 && (line.revents & POLLHUP) == 0;
}

// The link goes with the pseudo-terminal, unless someone has pointed it elsewhere meanwhile.
void LineServer::closeLine() {
  if (fd_ < 0) return;
  close(fd_);
  fd_ = -1;
  if (!linkPath_.empty() && devicePath_.empty() && linkTarget(linkPath_) == peerPath_)
    unlink(linkPath_.c_str());
  output_.clear();
  pendingCommand_.clear();
  hungUp_ = false;
  droppingOutput_ = false;
}

bool LineServer::reopen(std::string& error) {
  closeLine();
  return devicePath_.empty() ? openPseudoTerminal(error) : openDevice(devicePath_, error);
}

}  // namespace tessarin::sim
