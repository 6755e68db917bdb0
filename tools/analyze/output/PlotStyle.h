#pragma once

#include <QVector>

class QCPAxis;
class QCPAxisRect;
class QCPGraph;
class QCPScatterStyle;
class QPen;
class QString;

namespace tessarin::analyze::output {

// Logarithmic, ticked at the decades written as powers of ten, with the grid between them.
void useLogScale(QCPAxis* axis);

// A curve on the rectangle's bottom and left axes: the points joined by `line` and marked by
// `marker`, with error bars `below` and `above` each point in the line's colour (none where they
// are NaN). The bars stay out of the legend.
QCPGraph* addCurveWithBars(QCPAxisRect* rect, const QString& name, const QPen& line,
                           const QCPScatterStyle& marker, const QVector<double>& x,
                           const QVector<double>& y, const QVector<double>& below,
                           const QVector<double>& above);

}  // namespace tessarin::analyze::output
