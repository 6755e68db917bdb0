#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tessarin::link {

// Turns the instrument's characters into reply lines. The instrument ends a line with CR LF: a
// carriage return hands the line collected so far over, a line feed starts a new one. So a CR
// without its LF hands the same line over again, growing, and an LF alone drops what was
// collected.
class ReplyFramer {
 public:
  // The instrument's lines are at most ten characters; a line that never ends (noise, a wrong
  // baud rate) stops growing here and further characters are dropped until the next line feed.
  static constexpr std::size_t kMaxLineLength = 4096;

  // Takes one received character; at a carriage return, the line to hand over.
  std::optional<std::string_view> take(char received);

 private:
  std::string line_;
};

}  // namespace tessarin::link
