#include "qt/QCustomPlotControl.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>

#include "qt/PlotKeyFilter.h"
#include "qt/PlotLabelTicker.h"
#include "qt/Twips.h"

namespace tessarin::qt {

namespace {

// Autoscale leaves this share of the value range free above and below the data, so the extreme
// samples do not sit on the frame.
constexpr double kValueMargin = 0.05;
constexpr double kZoomInFactor = 0.5;
constexpr int kTickLength = 5;
constexpr int kSubTickLength = 3;
constexpr int kEmphasisedTickLength = 9;

Twips ScreenTwips(const QWidget* widget) {
  return {static_cast<double>(widget->logicalDpiX()), static_cast<double>(widget->logicalDpiY())};
}

QColor FromBgr(std::uint32_t bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// Curve colours that stand out on the plot area: bright on the dark screen colour, dark on the
// white used for printed copies.
QColor CurveColour(std::size_t index, bool darkArea) {
  static const QColor onDark[] = {QColor(255, 220, 0), QColor(0, 220, 255)};
  static const QColor onLight[] = {QColor(0, 0, 200), QColor(200, 0, 0)};
  return darkArea ? onDark[index % 2] : onLight[index % 2];
}

bool IsLogarithmic(const QCPAxis* axis) { return axis->scaleType() == QCPAxis::stLogarithmic; }

// Tick marks point outwards, onto the widget's background, so they stay visible whatever the
// colour of the plot area.
void SetUpAxis(QCPAxis* axis, bool logarithmic) {
  axis->setTickLength(0, kTickLength);
  axis->setSubTickLength(0, kSubTickLength);
  if (!logarithmic) return;
  axis->setScaleType(QCPAxis::stLogarithmic);
  axis->setTicker(QSharedPointer<QCPAxisTickerLog>::create());
  axis->setNumberFormat("gb");
}

// The X caption carries the unit of the X values, as in "Tau (Sec)"; the Y axis shows just the
// unit of its values, as in "1E-12".
QString XAxisLabel(const graphics::PlotDesign& design) {
  return design.xUnit.isEmpty() ? design.xCaption
                                : QStringLiteral("%1 (%2)").arg(design.xCaption, design.xUnit);
}

}  // namespace

QCustomPlotControl::QCustomPlotControl(const graphics::PlotDesign& design, QWidget* parent)
    : plot_(new QCustomPlot(parent)),
      title_(new QCPTextElement(
          plot_, design.title,
          QFont(plot_->font().family(), plot_->font().pointSize() + 3, QFont::Bold))),
      labelTicker_(QSharedPointer<PlotLabelTicker>::create()),
      xLimits_{design.xMin, design.xMax},
      yLimits_{design.yMin, design.yMax},
      widthTwips_(design.widthTwips),
      heightTwips_(design.heightTwips) {
  plot_->plotLayout()->insertRow(0);
  plot_->plotLayout()->addElement(0, 0, title_);
  plot_->xAxis->setLabel(XAxisLabel(design));
  plot_->yAxis->setLabel(design.yUnit);
  SetUpAxis(plot_->xAxis, design.xLogarithmic);
  SetUpAxis(plot_->yAxis, design.yLogarithmic);
  applyLimits(plot_->xAxis, xLimits_);
  applyLimits(plot_->yAxis, yLimits_);
  applyColours();
  setInteraction(true);
  plot_->setFocusPolicy(Qt::StrongFocus);
  plot_->installEventFilter(new PlotKeyFilter([this](char16_t key) { return onKey(key); }, plot_));
  plot_->move(0, 0);
  const Twips twips = ScreenTwips(plot_);
  plot_->resize(std::max(1, twips.toPixelsX(widthTwips_)),
                std::max(1, twips.toPixelsY(heightTwips_)));
}

// The widget goes with its control: its key filter calls back into the control.
QCustomPlotControl::~QCustomPlotControl() { delete plot_; }

QCustomPlot* QCustomPlotControl::widget() const { return plot_; }

QString QCustomPlotControl::title() const { return title_->text(); }

void QCustomPlotControl::setTitle(const QString& title) {
  title_->setText(title);
  queueReplot();
}

void QCustomPlotControl::setXMinimum(double value) {
  xLimits_.min = value;
  applyLimits(plot_->xAxis, xLimits_);
}

void QCustomPlotControl::setXMaximum(double value) {
  xLimits_.max = value;
  applyLimits(plot_->xAxis, xLimits_);
}

void QCustomPlotControl::setYMinimum(double value) {
  yLimits_.min = value;
  applyLimits(plot_->yAxis, yLimits_);
}

void QCustomPlotControl::setYMaximum(double value) {
  yLimits_.max = value;
  applyLimits(plot_->yAxis, yLimits_);
}

double QCustomPlotControl::xMinimum() const { return xLimits_.min; }
double QCustomPlotControl::xMaximum() const { return xLimits_.max; }
double QCustomPlotControl::yMinimum() const { return yLimits_.min; }
double QCustomPlotControl::yMaximum() const { return yLimits_.max; }

// Limits arrive one at a time, so a pair can be out of order for a moment (a new minimum above
// the old maximum). A pair the axis cannot show leaves the axis as it was until the pair is
// usable again.
void QCustomPlotControl::applyLimits(QCPAxis* axis, const Limits& limits) {
  const bool usable = limits.min < limits.max && (!IsLogarithmic(axis) || limits.min > 0);
  if (usable) axis->setRange(limits.min, limits.max);
  queueReplot();
}

void QCustomPlotControl::showOnlyYLabels() {
  labelMode_ = true;
  QCPAxis* axis = plot_->yAxis;
  axis->setTicker(labelTicker_);
  axis->setSubTickLength(0, kEmphasisedTickLength);
  axis->grid()->setSubGridVisible(true);
  applyColours();
  queueReplot();
}

void QCustomPlotControl::addYLabel(const QString& text, double value, bool emphasised) {
  labelTicker_->addLabel(text, value, emphasised);
  queueReplot();
}

void QCustomPlotControl::autoscaleNow() {
  ValueSpan keys, values;
  for (const Curve& curve : curves_) {
    keys.include(curve.extent.keys());
    values.include(curve.extent.values());
    values.include(curve.barBounds);
  }
  const bool logKeys = IsLogarithmic(plot_->xAxis);
  if (const auto range = FittedRange(keys, logKeys, 0))
    plot_->xAxis->setRange(logKeys ? WholeDecades(*range) : *range);
  fitValueAxis(values);
  queueReplot();
}

// In label mode the axis shows nothing but its labels, so the range reaches out to the nearest
// label on either side of the data instead of taking a margin.
void QCustomPlotControl::fitValueAxis(const ValueSpan& values) {
  QCPAxis* axis = plot_->yAxis;
  auto range = FittedRange(values, IsLogarithmic(axis), labelMode_ ? 0 : kValueMargin);
  if (!range) return;
  const QMap<double, QString>& labels = labelTicker_->ticks();
  if (labelMode_ && !labels.isEmpty()) {
    auto above = labels.upperBound(range->lower);
    if (above != labels.begin()) range->lower = std::prev(above).key();
    auto atOrAbove = labels.lowerBound(range->upper);
    if (atOrAbove != labels.end()) range->upper = atOrAbove.key();
  }
  axis->setRange(*range);
}

void QCustomPlotControl::applyLimitsNow() {
  applyLimits(plot_->xAxis, xLimits_);
  applyLimits(plot_->yAxis, yLimits_);
}

int QCustomPlotControl::curveCount() const { return static_cast<int>(curves_.size()); }

void QCustomPlotControl::removeAllCurves() {
  for (Curve& curve : curves_) removeErrorBars(curve);
  plot_->clearGraphs();
  curves_.clear();
  queueReplot();
}

void QCustomPlotControl::removeAllItems() {
  plot_->clearItems();
  queueReplot();
}

QCustomPlotControl::Curve* QCustomPlotControl::findCurve(const QString& name) {
  for (Curve& curve : curves_)
    if (curve.name == name) return &curve;
  return nullptr;
}

QCustomPlotControl::Curve& QCustomPlotControl::curveNamed(const QString& name, bool markers) {
  if (Curve* curve = findCurve(name)) return *curve;
  QCPGraph* graph = plot_->addGraph();
  graph->setName(name);
  curves_.push_back({name, graph, {}, markers, nullptr, {}, false});
  styleCurve(curves_.back());
  return curves_.back();
}

// A run appends its samples in order, so the point goes at the end of the curve's storage in
// constant time. A point placed before the last one still lands in its place in X order (at the
// cost of a move), and the last point stays last.
void QCustomPlotControl::appendPoint(const QString& name, double x, double y) {
  Curve& curve = curveNamed(name, false);
  const bool last =
      curve.graph->data()->isEmpty() || !(x < (curve.graph->data()->constEnd() - 1)->key);
  curve.graph->addData(x, y);
  if (last)
    curve.extent.append(x, y);
  else
    curve.extent.insertBeforeLast(x, y);
  queueReplot();
}

// The point with the largest X, the newest one of a growing curve, takes the new value.
void QCustomPlotControl::replaceLastPoint(const QString& name, double y) {
  Curve* curve = findCurve(name);
  if (!curve || curve->graph->data()->isEmpty()) return;
  (curve->graph->data()->end() - 1)->value = y;
  curve->extent.replaceLastValue(y);
  queueReplot();
}

void QCustomPlotControl::setCurve(const QString& name, std::span<const double> x,
                                  std::span<const double> y) {
  Curve& curve = curveNamed(name, true);
  removeErrorBars(curve);
  if (!curve.markers) {
    curve.markers = true;
    styleCurve(curve);
  }
  replacePoints(curve, x, y);
}

void QCustomPlotControl::setLimitLine(const QString& name, std::span<const double> x,
                                      std::span<const double> y) {
  Curve& line = curveNamed(name, false);
  if (!line.limitLine) {
    line.limitLine = true;
    styleCurve(line);
  }
  replacePoints(line, x, y);
}

void QCustomPlotControl::replacePoints(Curve& curve, std::span<const double> x,
                                       std::span<const double> y) {
  const auto points = static_cast<qsizetype>(std::min(x.size(), y.size()));
  curve.graph->setData(QVector<double>(x.begin(), x.begin() + points),
                       QVector<double>(y.begin(), y.begin() + points));
  // The graph keeps its points in X order; the extent follows that order, so its last point is
  // the one replaceLastPoint changes.
  curve.extent.clear();
  const auto data = curve.graph->data();
  for (auto point = data->constBegin(); point != data->constEnd(); ++point)
    curve.extent.append(point->key, point->value);
  queueReplot();
}

// The bars hang on the curve's points in X order; each is drawn as far below and above its point
// as its bounds lie. A NaN bound draws no bar there.
void QCustomPlotControl::setErrorBars(const QString& name, std::span<const double> low,
                                      std::span<const double> high) {
  Curve* curve = findCurve(name);
  if (!curve) return;
  removeErrorBars(*curve);
  const auto data = curve->graph->data();
  const auto points = std::min({low.size(), high.size(), static_cast<std::size_t>(data->size())});
  if (points > 0) {
    QVector<double> below, above;
    for (std::size_t i = 0; i < points; ++i) {
      const double value = (data->constBegin() + static_cast<int>(i))->value;
      below.push_back(value - low[i]);
      above.push_back(high[i] - value);
      curve->barBounds.include(low[i]);
      curve->barBounds.include(high[i]);
    }
    curve->bars = new QCPErrorBars(plot_->xAxis, plot_->yAxis);
    curve->bars->setDataPlottable(curve->graph);
    curve->bars->setData(below, above);
    styleCurve(*curve);
  }
  queueReplot();
}

void QCustomPlotControl::removeErrorBars(Curve& curve) {
  if (curve.bars) plot_->removePlottable(curve.bars);
  curve.bars = nullptr;
  curve.barBounds = {};
}

void QCustomPlotControl::setYUnit(const QString& unit) {
  plot_->yAxis->setLabel(unit);
  queueReplot();
}

void QCustomPlotControl::styleCurve(Curve& curve) const {
  const bool darkArea = qGray(plotArea_.rgb()) < 128;
  if (curve.limitLine) {
    // Apart from the curves' yellow and cyan on the screen, and from blue and red on paper.
    const QColor colour = darkArea ? QColor(255, 110, 110) : QColor(160, 0, 160);
    curve.graph->setPen(QPen(colour, 2, Qt::DashLine));
    curve.graph->setLineStyle(QCPGraph::lsLine);
    curve.graph->setScatterStyle(QCPScatterStyle());
    return;
  }
  const QColor colour = CurveColour(static_cast<std::size_t>(&curve - curves_.data()), darkArea);
  curve.graph->setPen(QPen(colour, 0));
  curve.graph->setLineStyle(lines_ ? QCPGraph::lsLine : QCPGraph::lsNone);
  if (curve.bars) curve.bars->setPen(QPen(colour, 0));
  if (curve.markers)
    curve.graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, colour, 6));
  else if (lines_)
    curve.graph->setScatterStyle(QCPScatterStyle());
  else
    curve.graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, colour, 3));
}

bool QCustomPlotControl::interaction() const {
  return plot_->interactions().testFlag(QCP::iRangeDrag);
}

void QCustomPlotControl::setInteraction(bool on) {
  plot_->setInteractions(on ? QCP::iRangeDrag | QCP::iRangeZoom : QCP::Interactions());
}

// The key's own meaning is the action; the key works whether typed in upper or lower case.
void QCustomPlotControl::bindKey(char key) {
  boundKeys_.insert(QChar::fromLatin1(key).toLower().unicode());
}

bool QCustomPlotControl::onKey(char16_t key) {
  if (!boundKeys_.contains(key)) return false;
  switch (key) {
    case u'a':
      autoscaleNow();
      break;
    case u'l':
      applyLimitsNow();
      break;
    case u'i':
      zoom(kZoomInFactor);
      break;
    case u'b':
      zoom(1 / kZoomInFactor);
      break;
    case u'y':
      fitValuesToVisibleKeys();
      break;
    case u'e':
      if (onErrorBarsKey) onErrorBarsKey();
      break;
    case u'p':
      lines_ = !lines_;
      for (Curve& curve : curves_) styleCurve(curve);
      queueReplot();
      break;
    default:
      return false;
  }
  return true;
}

// Zooms both axes about the middle of the view (the geometric middle on a logarithmic axis).
void QCustomPlotControl::zoom(double factor) {
  for (QCPAxis* axis : {plot_->xAxis, plot_->yAxis}) {
    const QCPRange range = axis->range();
    axis->scaleRange(factor,
                     IsLogarithmic(axis) ? std::sqrt(range.lower * range.upper) : range.center());
  }
  queueReplot();
}

// Fits the value axis to the points inside the shown key range: after zooming in on a stretch of
// a long run, its samples fill the height. Scans only those points, once per key press.
void QCustomPlotControl::fitValuesToVisibleKeys() {
  const QCPRange keys = plot_->xAxis->range();
  ValueSpan values;
  for (const Curve& curve : curves_) {
    const auto data = curve.graph->data();
    for (auto point = data->findBegin(keys.lower, false); point != data->findEnd(keys.upper, false);
         ++point) {
      values.include(point->value);
      const auto index = static_cast<int>(point - data->constBegin());
      if (curve.bars && index < curve.bars->data()->size()) {
        const QCPErrorBarsData& bar = curve.bars->data()->at(index);
        values.include(point->value - bar.errorMinus);
        values.include(point->value + bar.errorPlus);
      }
    }
  }
  fitValueAxis(values);
  queueReplot();
}

void QCustomPlotControl::setPlotAreaColor(std::uint32_t bgr) {
  plotArea_ = FromBgr(bgr);
  applyColours();
  queueReplot();
}

// Grid lines: dotted for every tick, solid and heavier for the emphasised labels of the label
// mode (drawn as the sub grid), in greys that stay apart from both dark and light plot areas.
void QCustomPlotControl::applyColours() {
  const bool darkArea = qGray(plotArea_.rgb()) < 128;
  plot_->axisRect()->setBackground(QBrush(plotArea_));
  for (QCPAxis* axis : {plot_->xAxis, plot_->yAxis}) {
    axis->grid()->setPen(
        QPen(darkArea ? QColor(110, 110, 110) : QColor(190, 190, 190), 0, Qt::DotLine));
    axis->grid()->setSubGridPen(
        QPen(darkArea ? QColor(180, 180, 180) : QColor(100, 100, 100), 2, Qt::SolidLine));
    axis->grid()->setZeroLinePen(
        QPen(darkArea ? QColor(160, 160, 160) : QColor(120, 120, 120), 0, Qt::SolidLine));
  }
  plot_->yAxis->setSubTickPen(QPen(Qt::black, labelMode_ ? 2 : 0));
  for (Curve& curve : curves_) styleCurve(curve);
}

bool QCustomPlotControl::copyToClipboard() {
  const QPixmap picture = plot_->toPixmap();
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (picture.isNull() || !clipboard) return false;
  clipboard->setImage(picture.toImage());
  return true;
}

platform::Result<> QCustomPlotControl::savePicture(const QString& path) {
  using platform::Result;
  if (path.isEmpty()) return Result<>::failure("no file name given");
  const QFileInfo file(path);
  if (!file.absoluteDir().exists()) return Result<>::failure(path + ": no such folder");
  if (file.isDir()) return Result<>::failure(path + ": is a folder");
  if (!plot_->saveBmp(path)) return Result<>::failure(path + ": the file could not be written");
  return {};
}

// Sizes that cannot be drawn (a minimised or tiny window) are ignored; the plot keeps its size
// until the next usable one.
void QCustomPlotControl::setWidth(int twips) {
  if (twips <= 0) return;
  widthTwips_ = twips;
  plot_->resize(std::max(1, ScreenTwips(plot_).toPixelsX(twips)), plot_->height());
}

void QCustomPlotControl::setHeight(int twips) {
  if (twips <= 0) return;
  heightTwips_ = twips;
  plot_->resize(plot_->width(), std::max(1, ScreenTwips(plot_).toPixelsY(twips)));
}

int QCustomPlotControl::width() const { return widthTwips_; }
int QCustomPlotControl::height() const { return heightTwips_; }

void QCustomPlotControl::queueReplot() { plot_->replot(QCustomPlot::rpQueuedReplot); }

}  // namespace tessarin::qt
