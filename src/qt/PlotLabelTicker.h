#pragma once

#include <qcustomplot.h>

#include <QVector>

namespace tessarin::qt {

// Ticks of an axis that shows exactly the texts of its label list. An emphasised label also gets a
// sub tick at its value: the axis then draws it with the longer, heavier sub tick mark and a solid
// sub-grid line under the dotted grid line that every label has. On the stability plot this sets
// the decades apart from the doubled values between them.
class PlotLabelTicker : public QCPAxisTickerText {
 public:
  void addLabel(const QString& text, double value, bool emphasised);

 protected:
  QVector<double> createSubTickVector(int subTickCount, const QVector<double>& ticks) override;

 private:
  QVector<double> emphasised_;  // ascending, as the axis's tick trimming expects
};

}  // namespace tessarin::qt
