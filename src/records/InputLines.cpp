#include "records/InputLines.h"

#include <QFile>
#include <utility>
#include <vector>

namespace tessarin::records {

namespace {

// A line's bytes held while it is read: kLongestLine and a "\r" before its line end, and one more
// to tell that it is too long.
constexpr std::size_t kHeld = kLongestLine + 2;
constexpr std::size_t kReadBlock = std::size_t{1} << 20;

}  // namespace

bool LineSplitter::feed(std::string_view piece) {
  if (!refusal_.empty()) return false;
  bytes_ += std::ssize(piece);
  if (bytes_ > kMostBytes) {
    refusal_ =
        "more than " + std::to_string(kMostBytes >> 20) + " MiB: not a file to analyse whole";
    return false;
  }
  while (!piece.empty() && refusal_.empty()) {
    const std::size_t newline = piece.find('\n');
    const std::string_view part = piece.substr(0, newline);
    if (newline != std::string_view::npos && partial_.empty() && !skipping_ &&
        part.size() < kHeld) {
      // The common case, a whole line within the piece, is handed on without a copy.
      std::string_view line = part;
      if (line.ends_with('\r')) line.remove_suffix(1);
      handOn(line, line.size() > kLongestLine ? LineEnd::TooLong : LineEnd::Newline);
      piece.remove_prefix(newline + 1);
      continue;
    }
    if (!skipping_) {
      partial_.append(part.substr(0, kHeld - partial_.size()));
      if (partial_.size() == kHeld && newline == std::string_view::npos) {
        partial_.resize(kLongestLine);
        handOn(partial_, LineEnd::TooLong);
        partial_.clear();
        skipping_ = true;
      }
    }
    if (newline == std::string_view::npos) break;
    piece.remove_prefix(newline + 1);
    if (!std::exchange(skipping_, false)) {
      std::string_view line = partial_;
      if (line.ends_with('\r')) line.remove_suffix(1);
      handOn(line, line.size() > kLongestLine ? LineEnd::TooLong : LineEnd::Newline);
      partial_.clear();
    }
  }
  return refusal_.empty();
}

void LineSplitter::finish() {
  if (refusal_.empty() && !skipping_ && !partial_.empty()) {
    std::string_view line = partial_;
    handOn(line, line.size() > kLongestLine ? LineEnd::TooLong : LineEnd::EndOfInput);
  }
  partial_.clear();
}

void LineSplitter::handOn(std::string_view line, LineEnd end) {
  if (++lines_ > kMostLines) {
    refusal_ = "more than " + std::to_string(kMostLines) +
               " lines: longer than any series the analyser takes";
    return;
  }
  take_(lines_, end == LineEnd::TooLong ? line.substr(0, kLongestLine) : line, end);
}

platform::Result<void> readLines(const QString& path, const TakeLine& take,
                                 std::atomic<std::int64_t>* bytesRead) {
  QFile device(path);
  // Read straight into large blocks: the file passes through memory once, a block at a time.
  if (!device.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
    return platform::Result<void>::failure(path + ": " + device.errorString());
  LineSplitter splitter(take);
  std::vector<char> buffer(kReadBlock);
  while (true) {
    const qint64 got = device.read(buffer.data(), static_cast<qint64>(buffer.size()));
    if (got < 0) return platform::Result<void>::failure(path + ": " + device.errorString());
    if (got == 0) break;
    if (bytesRead != nullptr) bytesRead->fetch_add(got, std::memory_order_relaxed);
    if (!splitter.feed(std::string_view(buffer.data(), static_cast<std::size_t>(got))))
      return platform::Result<void>::failure(path + ": " +
                                             QString::fromStdString(splitter.refusal()));
  }
  splitter.finish();
  if (!splitter.refusal().empty())
    return platform::Result<void>::failure(path + ": " +
                                           QString::fromStdString(splitter.refusal()));
  return {};
}

}  // namespace tessarin::records
