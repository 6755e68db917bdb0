#include "link/FilterLock.h"

namespace tessarin::link {

namespace {

constexpr std::size_t kReplyLength = 8;

}  // namespace

void FilterLock::takeReply(std::string_view line) {
  if (line.find('L') != 1) return;
  reply_ = std::string(line.size() > kReplyLength ? line.substr(2, kReplyLength) : line);
}

}  // namespace tessarin::link
