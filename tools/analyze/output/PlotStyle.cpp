#include "output/PlotStyle.h"

#include <qcustomplot.h>

namespace tessarin::analyze::output {

void useLogScale(QCPAxis* axis) {
  axis->setScaleType(QCPAxis::stLogarithmic);
  axis->setTicker(QSharedPointer<QCPAxisTickerLog>(new QCPAxisTickerLog));
  axis->setNumberFormat("eb");
  axis->setNumberPrecision(0);
  axis->grid()->setSubGridVisible(true);
}

QCPGraph* addCurveWithBars(QCPAxisRect* rect, const QString& name, const QPen& line,
                           const QCPScatterStyle& marker, const QVector<double>& x,
                           const QVector<double>& y, const QVector<double>& below,
                           const QVector<double>& above) {
  QCPAxis* bottom = rect->axis(QCPAxis::atBottom);
  QCPAxis* left = rect->axis(QCPAxis::atLeft);
  QCPGraph* graph = rect->parentPlot()->addGraph(bottom, left);
  graph->setName(name);
  graph->setPen(line);
  graph->setScatterStyle(marker);
  graph->setData(x, y, true);
  auto* bars = new QCPErrorBars(bottom, left);
  bars->removeFromLegend();
  bars->setPen(QPen(line.color(), 1));
  bars->setDataPlottable(graph);
  bars->setData(below, above);
  return graph;
}

}  // namespace tessarin::analyze::output
