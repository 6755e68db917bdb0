#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/Dialogs.h"

namespace tessarin::qt {

// File dialogs and message boxes, modal to the main window.
class QtDialogs : public platform::Dialogs {
 public:
  void setParent(QWidget* parent) { parent_ = parent; }

  std::optional<QString> saveFileName(const QString& title, const QString& filter,
                                      const QString& defaultExt,
                                      const QString& initialPath) override;
  bool askYesNo(const QString& text, const QString& title) override;
  void message(const QString& text, const QString& title, platform::Dialogs::Icon icon) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace tessarin::qt
