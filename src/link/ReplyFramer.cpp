#include "link/ReplyFramer.h"

namespace tessarin::link {

std::optional<std::string_view> ReplyFramer::take(char received) {
  switch (received) {
    case '\n':
      line_.clear();
      return std::nullopt;
    case '\r':
      return std::string_view(line_);
    default:
      if (line_.size() < kMaxLineLength) line_ += received;
      return std::nullopt;
  }
}

}  // namespace tessarin::link
