#pragma once

#include <QString>
#include <optional>

// Whole-file storage of the console's small text files (globalsetting.txt, setting3.txt) as
// rich-text documents.
class TextFileStore {
 public:
  // The plain text of the document at `path`; nothing when the file is missing or unreadable,
  // with the reason in `error` (empty for a file that simply does not exist).
  static std::optional<QString> LoadFile(const QString& path, QString& error);
  // Writes `text` as a rich-text document, replacing the file. False with the reason in `error`.
  static bool SaveFile(const QString& path, const QString& text, QString& error);
};
