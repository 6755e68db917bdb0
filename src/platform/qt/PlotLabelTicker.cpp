#include "platform/qt/PlotLabelTicker.h"

#include <algorithm>

void PlotLabelTicker::addLabel(const QString& text, double value, int ticmark, int gridline) {
  addTick(value, text);
  if (ticmark >= 3 || gridline >= 2) {
    const auto at = std::lower_bound(emphasised_.begin(), emphasised_.end(), value);
    if (at == emphasised_.end() || *at != value) emphasised_.insert(at, value);
  }
}

QVector<double> PlotLabelTicker::createSubTickVector(int, const QVector<double>&) {
  return emphasised_;
}
