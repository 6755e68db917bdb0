#pragma once

#include <qcustomplot.h>

#include <QFont>
#include <QJsonObject>
#include <QPdfWriter>
#include <QString>
#include <QStringList>
#include <vector>

#include "platform/Result.h"

namespace tessarin::analyze::report {

// Painter units are 1/96 inch, as on a screen, so that the plots' fonts and pens come out at the
// sizes they have there.
constexpr int kDpi = 96;
constexpr int kLine = 15;

// Lays text, tables and plots down the pages, starting a new page where one runs out.
class Pages {
 public:
  explicit Pages(QPdfWriter& writer);

  bool ready() const { return painter_.isActive(); }
  int width() const { return writer_.width(); }

  void newPage() {
    writer_.newPage();
    y_ = 0;
  }

  void need(int height) {
    if (y_ > 0 && y_ + height > writer_.height()) newPage();
  }

  // A heading, kept on one page with the `following` height below it.
  void heading(const QString& text, int following) {
    need(3 * kLine + following);
    painter_.setFont(heading_);
    painter_.drawText(QRect(0, y_, width(), 2 * kLine), Qt::AlignLeft | Qt::AlignVCenter, text);
    y_ += 2 * kLine + kLine / 2;
  }

  // A label in bold and its text beside it, wrapped to the width left.
  void fact(const QString& label, const QString& text) {
    constexpr int kLabelWidth = 140;
    painter_.setFont(plain_);
    const QRect room(kLabelWidth, 0, width() - kLabelWidth, 100000);
    const int height =
        std::max(kLine, painter_.boundingRect(room, Qt::TextWordWrap, text).height());
    need(height);
    painter_.setFont(bold_);
    painter_.drawText(QRect(0, y_, kLabelWidth, kLine), Qt::AlignLeft | Qt::AlignVCenter, label);
    painter_.setFont(plain_);
    painter_.drawText(QRect(kLabelWidth, y_, width() - kLabelWidth, height),
                      Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
    y_ += height + 2;
  }

  // One table row: cells left-aligned in the first column, right-aligned in the others.
  void row(const QStringList& cells, const std::vector<int>& widths, bool bold) {
    need(kLine);
    painter_.setFont(bold ? bold_ : plain_);
    int x = 0;
    for (qsizetype i = 0; i < cells.size(); ++i) {
      const int cell = widths[static_cast<std::size_t>(i)];
      const Qt::Alignment side = i == 0 ? Qt::AlignLeft : Qt::AlignRight;
      painter_.drawText(QRect(x, y_, cell - 6, kLine), side | Qt::AlignVCenter, cells[i]);
      x += cell;
    }
    y_ += kLine;
    if (bold) {
      painter_.setPen(QPen(Qt::black, 0.6));
      painter_.drawLine(QLineF(0, y_, width(), y_));
      y_ += 2;
    }
  }

  void plot(QCustomPlot& plot, int height) {
    need(height);
    painter_.save();
    painter_.translate(0, y_);
    plot.toPainter(&painter_, width(), height);
    painter_.restore();
    y_ += height + kLine / 2;
  }

  void space() { y_ += kLine; }

 private:
  QPdfWriter& writer_;
  QCPPainter painter_;
  QFont plain_, bold_, heading_;
  int y_ = 0;
};

// Sets `writer` up as every report is laid out: A4, 15 mm margins, kDpi, its title, the program
// as its creator; and the application's font unshaped, so that no ligature joins "f" and "i" and
// the PDF's text reads back letter for letter.
void prepareWriter(QPdfWriter& writer, const QString& title);

// Writes a report's JSON record to `path`, indented.
platform::Result<> writeRecord(const QString& path, const QJsonObject& record);

// A command line that a shell gives back as these arguments, after the program's name.
QString commandLine(const QStringList& arguments);

}  // namespace tessarin::analyze::report
