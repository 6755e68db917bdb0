#pragma once

#include <optional>

#include "platform/Result.h"

namespace tessarin::platform {

// The printer and its dialog. The picture printed is the bitmap on the clipboard.
class Printer {
 public:
  virtual ~Printer() = default;

  // Shows the printer dialog; returns the number of copies asked for, or nothing when the
  // operator cancelled.
  virtual std::optional<int> askCopies() = 0;
  // Prints the clipboard's bitmap once per copy, one page each, at the top left of the printable
  // area, scaled down to fit it with its proportions kept.
  virtual Result<> printClipboardPicture(int copies) = 0;
};

}  // namespace tessarin::platform
