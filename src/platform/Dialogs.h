#pragma once

#include <QString>
#include <optional>

namespace tessarin::platform {

// Modal dialogs. Every call returns only when the operator has answered.
class Dialogs {
 public:
  enum class Icon { None, Information, Warning, Critical };

  virtual ~Dialogs() = default;

  // A save-file dialog; returns the chosen path, or nothing when the operator cancelled.
  // `filter` is a pattern such as "*.DAT"; `defaultExt` is appended to a name typed without one.
  virtual std::optional<QString> saveFileName(const QString& title, const QString& filter,
                                              const QString& defaultExt,
                                              const QString& initialPath) = 0;
  // A Yes/No question without an icon; returns true for Yes.
  virtual bool askYesNo(const QString& text, const QString& title) = 0;
  // A message with an OK button.
  virtual void message(const QString& text, const QString& title, Icon icon) = 0;
};

}  // namespace tessarin::platform
