#include "LineServer.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iomanip>

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

void logAt(std::ostream& log, double now, const std::string& text) {
  log << std::fixed << std::setprecision(3) << now << ' ' << text << std::endl;
}

// The text without its CR LF framing, for the log.
std::string unframed(const std::string& text) {
  std::string shown;
  for (const char ch : text) {
    if (ch == '\r') continue;
    shown += ch == '\n' ? ' ' : ch;
  }
  while (!shown.empty() && shown.back() == ' ') shown.pop_back();
  return shown;
}

}  // namespace

LineServer::~LineServer() {
  if (fd_ >= 0) close(fd_);
}

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
  return true;
}

bool LineServer::openDevice(const std::string& path, std::string& error) {
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

void LineServer::run(InstrumentModel& model, std::ostream& log,
                     const volatile std::sig_atomic_t& stopRequested) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  const auto secondsNow = [start] {
    return std::chrono::duration<double>(Clock::now() - start).count();
  };
  sigset_t waitMask;
  sigemptyset(&waitMask);

  while (!stopRequested) {
    double now = secondsNow();
    if (hungUp_ && peerPresent()) {
      hungUp_ = false;
      logAt(log, now, "line opened");
    }
    if (!hungUp_) send(model.advanceTo(now), log, now);

    double wait = hungUp_ ? kPeerCheckSeconds : 3600.0;
    if (const auto due = model.nextSampleDue(); due && !hungUp_) wait = std::min(wait, *due - now);
    wait = std::max(wait, 0.0);
    const double whole = std::floor(wait);
    const timespec timeout{static_cast<time_t>(whole), static_cast<long>((wait - whole) * 1e9)};
    // A closed line reports a hang-up at every wait; it is looked at on the timer instead.
    pollfd line{fd_, static_cast<short>(POLLIN | (output_.empty() ? 0 : POLLOUT)), 0};
    const int ready = ppoll(&line, hungUp_ ? 0 : 1, &timeout, &waitMask);
    if (ready < 0 && errno != EINTR) {
      logAt(log, secondsNow(), systemError("ppoll"));
      return;
    }
    if (ready <= 0 || hungUp_) continue;
    now = secondsNow();
    if (line.revents & (POLLIN | POLLHUP | POLLERR)) takeInput(model, log, now);
    if (!hungUp_ && (line.revents & POLLOUT)) flushOutput();
  }
}

void LineServer::takeInput(InstrumentModel& model, std::ostream& log, double now) {
  char buffer[512];
  for (;;) {
    const ssize_t count = read(fd_, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    if (count <= 0) {
      hangUp(model, log, now);
      return;
    }
    for (ssize_t i = 0; i < count; ++i) {
      const char ch = buffer[i];
      if (ch != '\r' && ch != '\n') {
        pendingCommand_ += ch;
        continue;
      }
      if (pendingCommand_.empty()) continue;
      send(model.advanceTo(now), log, now);
      const std::string reply = model.handleCommand(pendingCommand_, now);
      logAt(log, now, "> " + pendingCommand_ + (reply.empty() ? "" : "  < " + unframed(reply)));
      send(reply, log, now);
      pendingCommand_.clear();
    }
  }
}

void LineServer::send(const std::string& text, std::ostream& log, double now) {
  if (text.empty()) return;
  if (output_.size() + text.size() > kOutputLimit) {
    if (!droppingOutput_) logAt(log, now, "console is not reading; dropping output");
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
void LineServer::hangUp(InstrumentModel& model, std::ostream& log, double now) {
  hungUp_ = true;
  model.stopStream();
  output_.clear();
  pendingCommand_.clear();
  tcflush(fd_, TCOFLUSH);
  logAt(log, now, "no one holds the line open; stream stopped");
}

bool LineServer::peerPresent() const {
  pollfd line{fd_, POLLIN, 0};
  return poll(&line, 1, 0) >= 0 && (line.revents & POLLHUP) == 0;
}
