#pragma once

#include <QString>
#include <QStringList>

#include "graphics/PlotLimits.h"
#include "platform/Result.h"

namespace tessarin::graphics {

// The eight texts of the Graphics Scales window, in box order: Sample-min, Sample-max,
// Delta F-min, Delta F-max, Tau-min, Tau-max, SigmaY-min, SigmaY-max. setting3.txt keeps them as
// one record of TAB-terminated fields.
inline constexpr int kScaleTextCount = 8;

// The texts as the operator first sees them.
QStringList defaultScaleTexts();

// The fields of a setting3.txt record; fields missing from a short record take the default texts.
QStringList splitScaleRecord(const QString& text);

// The setting3.txt record of `texts`.
QString scaleRecord(const QStringList& texts);

// The plot limits the texts give, each read in the C locale or the operator's own; the data
// plot's frequency limits come in its units of 1E-12. A text that is not a number gives a reason
// naming its box.
platform::Result<PlotLimits> readPlotLimits(const QStringList& texts);

}  // namespace tessarin::graphics
