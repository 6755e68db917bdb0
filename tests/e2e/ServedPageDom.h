#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tessarin::test {

// What the served page shows, read from the markup a browser dumped after running its script.
struct ServedPageDom {
  QString status;
  QString problem;
  // How the page follows the run: "Live" over the WebSocket, "Polling" without it.
  QString link;
  // data-fact name -> the text shown for it.
  QMap<QString, QString> facts;
  // The charts' data-points, absent until the page drew them.
  std::optional<int> dataPoints;
  std::optional<int> stabilityPoints;
  // The body's data-revision, absent until the first complete redraw.
  std::optional<qint64> revision;
  // The stability table's rows: the row's data-tau, then the text of each cell.
  std::vector<QStringList> stabilityRows;
  // The verdict of the telecom mask beside the stability chart, and the points of its line there.
  QString maskVerdict;
  std::optional<int> maskPoints;
};

// Reads the page's known markup; elements that are not there leave their field empty.
ServedPageDom readServedPageDom(const QByteArray& html);

}  // namespace tessarin::test
