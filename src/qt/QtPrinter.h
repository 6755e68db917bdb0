#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

#include "platform/Printer.h"

class QPrinter;

namespace tessarin::qt {

// The system's printer behind the printer dialog, or a PDF file for tests and unattended use.
class QtPrinter : public platform::Printer {
 public:
  // The default printer; the operator chooses it and the copies in the printer dialog.
  QtPrinter();
  // Prints into the PDF file `pdfPath` without a dialog, as if `copies` had been asked for.
  QtPrinter(const QString& pdfPath, int copies);
  ~QtPrinter() override;

  // The window the printer dialog belongs to.
  void setDialogParent(QWidget* parent) { parent_ = parent; }

  std::optional<int> askCopies() override;
  platform::Result<> printClipboardPicture(int copies) override;

 private:
  std::unique_ptr<QPrinter> printer_;
  std::optional<int> fixedCopies_;  // set: no dialog, PDF output
  QPointer<QWidget> parent_;
};

}  // namespace tessarin::qt
