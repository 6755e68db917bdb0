#include "qt/QtPrinter.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <algorithm>

namespace tessarin::qt {

// The system's printer is looked up only when the operator first prints.
QtPrinter::QtPrinter() = default;

QtPrinter::QtPrinter(const QString& pdfPath, int copies)
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)), fixedCopies_(copies) {
  printer_->setOutputFormat(QPrinter::PdfFormat);
  printer_->setOutputFileName(pdfPath);
}

QtPrinter::~QtPrinter() = default;

std::optional<int> QtPrinter::askCopies() {
  if (fixedCopies_) return fixedCopies_;
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPrintDialog dialog(printer_.get(), parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const int copies = std::max(1, printer_->copyCount());
  // Each copy is a page of its own: the printer must not repeat the document as well.
  printer_->setCopyCount(1);
  return copies;
}

platform::Result<> QtPrinter::printClipboardPicture(int copies) {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  const QImage picture = clipboard ? clipboard->image() : QImage();
  if (picture.isNull())
    return platform::Result<>::failure(QStringLiteral("the clipboard holds no picture"));
  if (copies < 1) return {};
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);

  QPainter painter;
  if (!painter.begin(printer_.get())) {
    const QString file = printer_->outputFileName();
    return platform::Result<>::failure(file.isEmpty()
                                           ? QStringLiteral("the printer could not be started")
                                           : file + QStringLiteral(": cannot be written"));
  }
  // The picture's own size is its size on screen; it shrinks to the printable area, never grows.
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double screenDpi = screen ? screen->logicalDotsPerInch() : 96.0;
  const double toPrinter = printer_->resolution() / screenDpi;
  const QRectF printable = printer_->pageRect(QPrinter::DevicePixel);
  const double scale = std::min(
      {toPrinter, printable.width() / picture.width(), printable.height() / picture.height()});
  const QRectF target(0, 0, picture.width() * scale, picture.height() * scale);
  for (int copy = 0; copy < copies; ++copy) {
    if (copy > 0 && !printer_->newPage()) {
      painter.end();
      return platform::Result<>::failure(QStringLiteral("the printer refused a new page"));
    }
    painter.drawImage(target, picture);
  }
  if (!painter.end())
    return platform::Result<>::failure(QStringLiteral("the print could not be finished"));
  return {};
}

}  // namespace tessarin::qt
