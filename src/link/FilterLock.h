#pragma once

#include <string>
#include <string_view>

namespace tessarin::link {

// What the instrument last said of its XTAL filter: a lock reply is a line whose second character
// is "L" ("CL1" locked, "CL0" not).
class FilterLock {
 public:
  // Keeps the lock state of `line` when it is a lock reply; other lines leave it as it is.
  void takeReply(std::string_view line);
  // A lock reported before a new initialization says nothing about the instrument now.
  void forget() { reply_.clear(); }
  bool locked() const { return reply_ == "CL1"; }

 private:
  std::string reply_;
};

}  // namespace tessarin::link
