#include "output/DynamicPlot.h"

#include <qcustomplot.h>

#include <cmath>

#include "output/PlotFile.h"

namespace tessarin::analyze::output {

namespace {

// Julian day 2440588 is 1970-01-01, where the time axis counts its seconds from.
constexpr std::int64_t kUnixEpoch = 2440588LL * 86400;

// The colour map needs two cells or more along an axis to span it; a single window or factor is
// drawn as two equal cells, one step (or one octave) apart.
int cellsFor(std::size_t count) { return count < 2 ? 2 : static_cast<int>(count); }

void useTimeAxis(QCPAxis* axis) {
  QSharedPointer<QCPAxisTickerDateTime> ticker(new QCPAxisTickerDateTime);
  ticker->setDateTimeFormat(QStringLiteral("yyyy-MM-dd\nHH:mm:ss"));
  // The console's clock has no time zone: its times are shown as written.
  ticker->setDateTimeSpec(Qt::UTC);
  axis->setTicker(ticker);
  axis->setLabel(QStringLiteral("window start"));
}

void useLogTau(QCPAxis* axis) {
  axis->setScaleType(QCPAxis::stLogarithmic);
  axis->setTicker(QSharedPointer<QCPAxisTickerLog>(new QCPAxisTickerLog));
  axis->setNumberFormat("eb");
  axis->setNumberPrecision(0);
  axis->setLabel(QStringLiteral("tau / s"));
}

}  // namespace

platform::Result<> writeDynamicPlot(const QString& path, const QString& title,
                                    const analysis::DynamicMap& map,
                                    std::optional<std::int64_t> seriesStart) {
  QCustomPlot plot;
  plot.plotLayout()->insertRow(0);
  plot.plotLayout()->addElement(0, 0, new QCPTextElement(&plot, title));
  useLogTau(plot.yAxis);
  if (seriesStart)
    useTimeAxis(plot.xAxis);
  else
    plot.xAxis->setLabel(QStringLiteral("window start (sample)"));

  // Window starts in the axis's own units: sample numbers, or seconds since 1970.
  const double origin = seriesStart ? static_cast<double>(*seriesStart - kUnixEpoch) : 0.0;
  const double unit = seriesStart ? map.tau0 : 1.0;
  const auto keyOf = [&](std::int64_t start) { return origin + static_cast<double>(start) * unit; };
  const int keys = cellsFor(map.starts.size());
  const int values = cellsFor(map.factors.size());
  const double firstKey = keyOf(map.starts.front());
  const double lastKey = map.starts.size() > 1 ? keyOf(map.starts.back())
                                               : keyOf(map.starts.front() + map.windows.step);
  const double firstTau = map.tau0 * map.factors.front();
  const double lastTau = map.tau0 * (map.factors.size() > 1 ? map.factors.back() : 2);

  auto* colours = new QCPColorMap(plot.xAxis, plot.yAxis);
  colours->data()->setSize(keys, values);
  colours->data()->setRange(QCPRange(firstKey, lastKey), QCPRange(firstTau, lastTau));
  for (int k = 0; k < keys; ++k) {
    for (int v = 0; v < values; ++v) {
      const double deviation =
          map.at(std::min<std::size_t>(static_cast<std::size_t>(k), map.starts.size() - 1),
                 std::min<std::size_t>(static_cast<std::size_t>(v), map.factors.size() - 1))
              .value;
      colours->data()->setCell(k, v, deviation > 0 ? std::log10(deviation) : NAN);
    }
  }

  auto* scale = new QCPColorScale(&plot);
  plot.plotLayout()->addElement(1, 1, scale);
  scale->setType(QCPAxis::atRight);
  scale->axis()->setLabel(QStringLiteral("log10 ") +
                          QString::fromUtf8(stability::nameOf(map.statistic)));
  // The map takes the scale's gradient when it is joined to it, so the gradient is set after.
  colours->setColorScale(scale);
  QCPColorGradient gradient(QCPColorGradient::gpJet);
  gradient.setNanHandling(QCPColorGradient::nhTransparent);
  colours->setGradient(gradient);
  colours->setInterpolate(false);
  colours->rescaleDataRange(true);
  auto* margins = new QCPMarginGroup(&plot);
  plot.axisRect()->setMarginGroup(QCP::msBottom | QCP::msTop, margins);
  scale->setMarginGroup(QCP::msBottom | QCP::msTop, margins);
  plot.rescaleAxes();
  return savePlot(plot, path);
}

}  // namespace tessarin::analyze::output
