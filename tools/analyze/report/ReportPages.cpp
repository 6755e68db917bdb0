#include "report/ReportPages.h"

#include <QApplication>
#include <QFile>
#include <QJsonDocument>
#include <algorithm>

namespace tessarin::analyze::report {

Pages::Pages(QPdfWriter& writer) : writer_(writer), painter_(&writer) {
  painter_.setMode(QCPPainter::pmVectorized);
  painter_.setMode(QCPPainter::pmNoCaching);
  plain_ = QApplication::font();
  plain_.setPointSize(9);
  bold_ = plain_;
  bold_.setBold(true);
  heading_ = bold_;
  heading_.setPointSize(13);
}

void prepareWriter(QPdfWriter& writer, const QString& title) {
  QFont font = QApplication::font();
  font.setStyleStrategy(QFont::PreferNoShaping);
  QApplication::setFont(font);
  writer.setResolution(kDpi);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
  writer.setTitle(title);
  writer.setCreator(QStringLiteral("tessarin-analyze " TESSARIN_VERSION));
}

platform::Result<> writeRecord(const QString& path, const QJsonObject& record) {
  QFile file(path);
  const QByteArray json = QJsonDocument(record).toJson(QJsonDocument::Indented);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(json) != json.size())
    return platform::Result<>::failure(path + ": " + file.errorString());
  return {};
}

QString commandLine(const QStringList& arguments) {
  QStringList words = {QStringLiteral("tessarin-analyze")};
  for (const QString& argument : arguments) {
    const bool plain =
        !argument.isEmpty() && std::all_of(argument.begin(), argument.end(), [](QChar c) {
          return c.isLetterOrNumber() || QStringLiteral("-_=.,/:+@%").contains(c);
        });
    words << (plain ? argument : "'" + QString(argument).replace("'", "'\\''") + "'");
  }
  return words.join(' ');
}

}  // namespace tessarin::analyze::report
