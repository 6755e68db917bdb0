#include "qt/QtDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace tessarin::qt {

std::optional<QString> QtDialogs::saveFileName(const QString& title, const QString& filter,
                                               const QString& defaultExt,
                                               const QString& initialPath) {
  QFileDialog dialog(parent_, title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(filter);
  dialog.setDefaultSuffix(defaultExt);
  // Choosing an existing file means appending to it, or overwriting a picture: never ask.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!initialPath.isEmpty()) dialog.selectFile(initialPath);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

bool QtDialogs::askYesNo(const QString& text, const QString& title) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, parent_);
  return box.exec() == QMessageBox::Yes;
}

void QtDialogs::message(const QString& text, const QString& title, platform::Dialogs::Icon icon) {
  static const QMessageBox::Icon kIcons[] = {QMessageBox::NoIcon, QMessageBox::Information,
                                             QMessageBox::Warning, QMessageBox::Critical};
  QMessageBox box(kIcons[static_cast<int>(icon)], title, text, QMessageBox::Ok, parent_);
  box.exec();
}

}  // namespace tessarin::qt
