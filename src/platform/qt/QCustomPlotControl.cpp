#include "platform/qt/QCustomPlotControl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <cmath>

#include "platform/qt/PlotKeyFilter.h"
#include "platform/qt/PlotLabelTicker.h"
#include "platform/qt/Twips.h"

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

bool SameValue(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

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

}  // namespace

QCustomPlotControl::QCustomPlotControl(const PlotDesign& design, QWidget* parent)
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
  plot_->xAxis->setLabel(design.xCaption);
  plot_->yAxis->setLabel(design.unitCaption);
  SetUpAxis(plot_->xAxis, design.xLogarithmic);
  SetUpAxis(plot_->yAxis, design.yLogarithmic);
  automaticYTicker_ = plot_->yAxis->ticker();
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

void QCustomPlotControl::setYAxisMode(int mode) {
  labelMode_ = mode == 2;
  QCPAxis* axis = plot_->yAxis;
  axis->setTicker(labelMode_ ? QSharedPointer<QCPAxisTicker>(labelTicker_) : automaticYTicker_);
  axis->setSubTickLength(0, labelMode_ ? kEmphasisedTickLength : kSubTickLength);
  axis->grid()->setSubGridVisible(labelMode_);
  applyColours();
  queueReplot();
}

void QCustomPlotControl::addYLabel(const QString& text, double value,
                                   [[maybe_unused]] bool priority, int ticmark, int gridline) {
  labelTicker_->addLabel(text, value, ticmark, gridline);
  queueReplot();
}

void QCustomPlotControl::autoscaleNow() {
  ValueSpan keys, values;
  for (const Curve& curve : curves_) {
    keys.include(curve.extent.keys());
    values.include(curve.extent.values());
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
  plot_->clearGraphs();
  curves_.clear();
  queueReplot();
}

// The second list holds the plot's items (texts, arrows and the like) beside its curves.
void QCustomPlotControl::clearSecondItemList() {
  plot_->clearItems();
  queueReplot();
}

QCustomPlotControl::Curve& QCustomPlotControl::newCurve(const QString& name, bool markers) {
  QCPGraph* graph = plot_->addGraph();
  graph->setName(name);
  curves_.push_back({graph, {}, markers});
  styleCurve(curves_.back());
  return curves_.back();
}

void QCustomPlotControl::addCurve(const QString& name, double xStart, double xStep, const double* y,
                                  int count) {
  setSeries(newCurve(name, false), xStart, xStep, y, y ? count : 0);
  queueReplot();
}

void QCustomPlotControl::addCurveXY(const QString& name, const double* x, const double* y,
                                    int count, [[maybe_unused]] bool flag) {
  Curve& curve = newCurve(name, true);
  const int points = x && y ? std::max(count, 0) : 0;
  QVector<double> keys(x, x + points), values(y, y + points);
  for (int i = 0; i < points; ++i) curve.extent.append(x[i], y[i]);
  curve.graph->setData(keys, values);
  queueReplot();
}

void QCustomPlotControl::setSeries(Curve& curve, double xStart, double xStep, const double* y,
                                   int count) {
  const int points = std::max(count, 0);
  QVector<double> keys(points), values(points);
  curve.extent.clear();
  for (int i = 0; i < points; ++i) {
    keys[i] = xStart + i * xStep;
    values[i] = y[i];
    curve.extent.append(keys[i], values[i]);
  }
  curve.graph->setData(keys, values, xStep >= 0);
  curve.xStart = xStart;
  curve.xStep = xStep;
}

// The console hands over the whole series for every sample. A series that grew by one point or
// whose last point changed is followed in constant time; anything else is taken afresh. The point
// before the one that moved must still match, a cheap guard against a different series of the
// same length.
void QCustomPlotControl::replaceCurveData(double xStart, double xStep, const double* y, int count) {
  if (curves_.empty() || !y) return;
  Curve& curve = curves_.front();
  const auto data = curve.graph->data();
  const int current = data->size();
  const bool sameSeries = xStart == curve.xStart && xStep == curve.xStep && xStep > 0;
  const auto keeps = [&](int index) {
    return index < 0 || SameValue(data->at(index)->value, y[index]);
  };
  if (sameSeries && count == current + 1 && keeps(current - 1)) {
    const double key = xStart + current * xStep;
    curve.graph->addData(key, y[current]);
    curve.extent.append(key, y[current]);
  } else if (sameSeries && count == current && count > 0 && keeps(count - 2)) {
    (data->end() - 1)->value = y[count - 1];
    curve.extent.replaceLastValue(y[count - 1]);
  } else {
    setSeries(curve, xStart, xStep, y, count);
  }
  queueReplot();
}

void QCustomPlotControl::styleCurve(Curve& curve) const {
  const bool darkArea = qGray(plotArea_.rgb()) < 128;
  const QColor colour = CurveColour(static_cast<std::size_t>(&curve - curves_.data()), darkArea);
  curve.graph->setPen(QPen(colour, 0));
  curve.graph->setLineStyle(lines_ ? QCPGraph::lsLine : QCPGraph::lsNone);
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

// Every binding of the console is a plain character key; the key's own meaning is the action.
void QCustomPlotControl::bindKey(std::int32_t, std::int32_t, std::int32_t charCode, std::int32_t) {
  if (charCode > 0 && charCode <= 0xFFFF)
    boundKeys_.insert(QChar(static_cast<char16_t>(charCode)).toLower().unicode());
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
         ++point)
      values.include(point->value);
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

bool QCustomPlotControl::savePicture(const QString& path) {
  return !path.isEmpty() && plot_->saveBmp(path);
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
