#pragma once

#include <QString>
#include <optional>

#include "platform/Result.h"

namespace tessarin::app {

// Whole-file storage of the console's small text files (globalsetting.txt, setting3.txt) as
// rich-text documents.

// The plain text of the document at `path`; nothing when the file does not exist.
platform::Result<std::optional<QString>> loadTextFile(const QString& path);
// Writes `text` as a rich-text document, replacing the file.
platform::Result<> saveTextFile(const QString& path, const QString& text);

}  // namespace tessarin::app
