#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace tessarin::records {

// The bounds on what an input file may hold. A line longer than kLongestLine is damaged (no
// instrument writes one); past kMostLines lines (two days of a counter at 1 kHz, 1.6 GB of series)
// or kMostBytes (room for that many lines of any sane form) the file is refused, so that a device
// that never ends, /dev/zero or a runaway logger, gives a message and not an exhausted memory.
constexpr std::size_t kLongestLine = 4096;
constexpr std::int64_t kMostLines = 200000000;
constexpr std::int64_t kMostBytes = std::int64_t{4} << 30;

// How a line handed on ended: at a line end (its "\r" taken off), at the end of the input without
// one, or not within kLongestLine bytes, when only its first kLongestLine bytes are handed on,
// once.
enum class LineEnd { Newline, EndOfInput, TooLong };

using TakeLine = std::function<void(std::int64_t number, std::string_view line, LineEnd end)>;

// Splits bytes that arrive in pieces into lines, numbered from 1, holding at most one line's
// first kLongestLine bytes at a time.
class LineSplitter {
 public:
  explicit LineSplitter(TakeLine take) : take_(std::move(take)) {}

  // Hands on every line the piece completes; false once the input passes a bound.
  bool feed(std::string_view piece);
  // Hands on the last line when the input ends without a line end.
  void finish();
  // Why the input was refused; empty while it was not.
  const std::string& refusal() const { return refusal_; }

 private:
  void handOn(std::string_view line, LineEnd end);

  TakeLine take_;
  std::string partial_;
  bool skipping_ = false;  // the rest of a line longer than kLongestLine
  std::int64_t lines_ = 0;
  std::int64_t bytes_ = 0;
  std::string refusal_;
};

// Reads the file in bounded pieces and hands on its lines; fails with the reason when it cannot
// be read or passes a bound. `bytesRead`, where given, counts the bytes read so far, for a
// progress line on another thread.
platform::Result<void> readLines(const QString& path, const TakeLine& take,
                                 std::atomic<std::int64_t>* bytesRead = nullptr);

}  // namespace tessarin::records
