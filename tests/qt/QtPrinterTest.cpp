#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>

#include "qt/ConsoleApp.h"
#include "qt/QtPrinter.h"
#include "support/Fakes.h"

namespace tessarin::qt {
namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The size, in printer pixels, at which each page draws its picture: the scale of the image
// drawing in the page's (compressed) content stream times the picture's size.
std::vector<QSizeF> DrawnSizes(const QByteArray& pdf) {
  std::vector<QSizeF> sizes;
  const QByteArray opening = "/FlateDecode\n>>\nstream\n";
  for (qsizetype at = pdf.indexOf(opening); at >= 0; at = pdf.indexOf(opening, at + 1)) {
    const qsizetype start = at + opening.size();
    QByteArray packed = pdf.mid(start, pdf.indexOf("endstream", start) - start);
    packed.prepend(QByteArray("\x00\x01\x00\x00", 4));  // a size hint for qUncompress
    const QRegularExpressionMatch drawing =
        QRegularExpression("([\\d.]+) 0 0 ([\\d.]+) 0 0 cm\\s*(\\d+) 0 0 -(\\d+) 0 \\d+ cm /Im")
            .match(QString::fromLatin1(qUncompress(packed)));
    if (drawing.hasMatch())
      sizes.emplace_back(drawing.captured(1).toDouble() * drawing.captured(3).toDouble(),
                         drawing.captured(2).toDouble() * drawing.captured(4).toDouble());
  }
  return sizes;
}

TEST(QtPrinterTest, APictureIsPrintedAtItsOwnSizeOrScaledDownToThePrintableArea) {
  QTemporaryDir folder;
  QPrinter reference(QPrinter::HighResolution);
  reference.setOutputFormat(QPrinter::PdfFormat);
  const QRectF printable = reference.pageRect(QPrinter::DevicePixel);
  const double ownScale =
      reference.resolution() / QGuiApplication::primaryScreen()->logicalDotsPerInch();
  struct Case {
    QSize picture;
    QSizeF drawn;
  };
  const double wideScale = printable.width() / 8000;
  const double tallScale = printable.height() / 6000;
  for (const Case& k : std::vector<Case>{{{200, 100}, {200 * ownScale, 100 * ownScale}},
                                         {{8000, 400}, {printable.width(), 400 * wideScale}},
                                         {{300, 6000}, {300 * tallScale, printable.height()}}}) {
    SCOPED_TRACE(k.picture.width());
    QImage picture(k.picture, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QGuiApplication::clipboard()->setImage(picture);
    const QString pdf = folder.filePath(QString("%1.pdf").arg(k.picture.width()));
    QtPrinter printer(pdf, 1);
    ASSERT_TRUE(printer.printClipboardPicture(1));
    const std::vector<QSizeF> drawn = DrawnSizes(ReadAll(pdf));
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_NEAR(drawn[0].width(), k.drawn.width(), 1.0);
    EXPECT_NEAR(drawn[0].height(), k.drawn.height(), 1.0);
  }
}

TEST(QtPrinterTest, AnUnwritableFileIsAFailureWithItsPath) {
  QGuiApplication::clipboard()->setImage(QImage(QSize(10, 10), QImage::Format_RGB32));
  QtPrinter printer("/nonexistent-folder/print.pdf", 1);
  const platform::Result<> printed = printer.printClipboardPicture(1);
  ASSERT_FALSE(printed);
  EXPECT_EQ(printed.reason(), "/nonexistent-folder/print.pdf: cannot be written");
}

TEST(QtPrinterTest, PrintingTheDataPlotGivesOnePageWithThePlotPerCopy) {
  QTemporaryDir folder;
  const QString pdf = folder.filePath("print.pdf");
  QtPrinter printer(pdf, 2);
  test::FakeDialogs dialogs;
  ConsoleApp app(folder.path(), &dialogs, &printer);
  app.window().show();
  QMdiSubWindow* dataWindow = app.window().subWindowOf(app.console().windows().dataWindow);
  dataWindow->showMinimized();  // as the operator would
  QCoreApplication::processEvents();
  ASSERT_EQ(app.console().windows().dataWindow.state(), app::WindowState::Minimized);
  QGuiApplication::clipboard()->clear();

  app.console().menus().printDataPlot.click();

  const QByteArray bytes = ReadAll(pdf);
  EXPECT_EQ(bytes.count("/Type /Page\n"), 2);
  // The plot's picture, drawn on each page.
  const QRegularExpressionMatch image =
      QRegularExpression("/Subtype /Image\\s*/Width (\\d+)\\s*/Height (\\d+)").match(bytes);
  ASSERT_TRUE(image.hasMatch());
  EXPECT_GT(image.captured(1).toInt(), 200);
  EXPECT_GT(image.captured(2).toInt(), 100);
  const std::vector<QSizeF> drawn = DrawnSizes(bytes);
  ASSERT_EQ(drawn.size(), 2u);
  for (const QSizeF& page : drawn) EXPECT_GT(page.width(), 1000);  // printer pixels
  EXPECT_FALSE(QGuiApplication::clipboard()->image().isNull());
  EXPECT_TRUE(dataWindow->isMinimized());
  EXPECT_EQ(app.window().windowState() & (Qt::WindowMaximized | Qt::WindowMinimized),
            Qt::WindowNoState);
  EXPECT_EQ(app.dataPlot().widget()->axisRect()->backgroundBrush().color(), QColor(Qt::black));
  EXPECT_FALSE(app.console().status().startsWith("Not printed"));
}

}  // namespace
}  // namespace tessarin::qt
