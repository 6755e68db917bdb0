#include "link/StrayStream.h"

namespace tessarin::link {

bool StrayStream::shouldStopAgain(std::chrono::milliseconds now) {
  if (stoppedAt_ && now - *stoppedAt_ < kInterval) return false;
  stoppedAt_ = now;
  return true;
}

}  // namespace tessarin::link
