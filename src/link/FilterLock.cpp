#include "link/FilterLock.h"

#include "link/DutDisplay.h"

namespace tessarin::link {

namespace {

constexpr std::size_t kReplyLength = 8;

}  // namespace

void noteLockReply(app::Console& c, std::string_view line) {
  if (line.find('L') != 1) return;
  c.lockReply = std::string(line.size() > kReplyLength ? line.substr(2, kReplyLength) : line);
}

void pollFilterLock(app::Console& c) {
  if (c.state() != app::RunState::WaitingForLock) return;
  c.setStatus(QStringLiteral("XTAL filter Unlocked, wait..."));
  c.instrument.send("CL9");
  if (c.lockReply != "CL1") return;
  c.setStatus(QStringLiteral("XTAL filter Locked"));
  c.enter(app::RunState::Ready);
  c.tasks.post([&c] { askToNormalize(c); });
}

}  // namespace tessarin::link
