#include "qt/PlotLabelTicker.h"

#include <algorithm>

namespace tessarin::qt {

void PlotLabelTicker::addLabel(const QString& text, double value, bool emphasised) {
  addTick(value, text);
  if (emphasised) {
    const auto at = std::lower_bound(emphasised_.begin(), emphasised_.end(), value);
    if (at == emphasised_.end() || *at != value) emphasised_.insert(at, value);
  }
}

QVector<double> PlotLabelTicker::createSubTickVector(int, const QVector<double>&) {
  return emphasised_;
}

}  // namespace tessarin::qt
