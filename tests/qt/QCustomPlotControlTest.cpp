#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <cmath>
#include <map>
#include <numeric>
#include <random>
#include <vector>

#include "graphics/PlotDesign.h"
#include "qt/QCustomPlotControl.h"

namespace tessarin::qt {
namespace {

using graphics::DataPlotDesign;
using graphics::StabilityPlotDesign;

// The stability plot's label list as start-up fills it: 2E-3, 1E-3, ..., 2E-18, 1E-18.
void AddDecadeLabels(QCustomPlotControl& plot) {
  plot.showOnlyYLabels();
  for (int k = -3; k >= -18; --k)
    for (int mantissa : {2, 1})
      plot.addYLabel(QString("%1E%2").arg(mantissa).arg(k), mantissa * std::pow(10.0, k),
                     mantissa == 1);
}

using PointList = std::vector<std::pair<double, double>>;

// The points of a curve as the plot holds them, in X order.
PointList Points(const QCPGraph* graph) {
  PointList points;
  for (auto point = graph->data()->constBegin(); point != graph->data()->constEnd(); ++point)
    points.emplace_back(point->key, point->value);
  return points;
}

void ExpectSeries(const QCPGraph* graph, const std::vector<double>& y, int count) {
  ASSERT_EQ(graph->dataCount(), count);
  auto point = graph->data()->constBegin();
  for (int i = 0; i < count; ++i, ++point) {
    ASSERT_EQ(point->key, 1.0 + i) << "point " << i;
    ASSERT_EQ(point->value, y[static_cast<std::size_t>(i)]) << "point " << i;
  }
}

void PressKey(QCustomPlotControl& plot, char key) {
  QKeyEvent event(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(key)));
  QCoreApplication::sendEvent(plot.widget(), &event);
}

std::vector<double> Noise(int count) {
  std::mt19937 generator(20261207);
  std::normal_distribution<double> normal(0.0, 3.0);
  std::vector<double> values(static_cast<std::size_t>(count));
  for (double& v : values) v = normal(generator);
  return values;
}

}  // namespace

TEST(QCustomPlotControlTest, DesignSetsTitleCaptionsUnitsAndAxes) {
  QCustomPlotControl data(DataPlotDesign());
  QCustomPlotControl stability(StabilityPlotDesign());
  EXPECT_EQ(data.title(), "Frequency Diff.");
  EXPECT_EQ(data.widget()->xAxis->label(), "Samples");
  EXPECT_EQ(data.widget()->yAxis->label(), "1E-12");
  // Tau is in seconds; the Allan deviation is a pure number.
  EXPECT_EQ(stability.widget()->xAxis->label(), "Tau (Sec)");
  EXPECT_EQ(stability.widget()->yAxis->label(), "");
  EXPECT_EQ(data.widget()->yAxis->scaleType(), QCPAxis::stLinear);
  EXPECT_EQ(data.widget()->yAxis->range(), QCPRange(-10, 10));
  EXPECT_EQ(stability.title(), "Allan Dev.");
  EXPECT_EQ(stability.widget()->xAxis->scaleType(), QCPAxis::stLogarithmic);
  EXPECT_EQ(stability.widget()->yAxis->scaleType(), QCPAxis::stLogarithmic);
  EXPECT_EQ(stability.widget()->yAxis->range(), QCPRange(1e-14, 1e-11));
  EXPECT_TRUE(stability.widget()->yAxis->ticker().dynamicCast<QCPAxisTickerLog>());
  EXPECT_TRUE(data.interaction());

  data.setTitle("Phase Diff.");
  EXPECT_EQ(data.title(), "Phase Diff.");
}

TEST(QCustomPlotControlTest, LabelModeShowsExactlyTheLabelListWithDecadesEmphasised) {
  QCustomPlotControl plot(StabilityPlotDesign());
  AddDecadeLabels(plot);
  QCPAxis* axis = plot.widget()->yAxis;
  const QCPRange everything(1e-19, 1e-2);
  QVector<double> ticks, subTicks;
  QVector<QString> texts;
  axis->ticker()->generate(everything, QLocale::c(), 'g', 6, ticks, &subTicks, &texts);

  QVector<QString> expectedTexts;
  QVector<double> decades;
  for (int k = -18; k <= -3; ++k) {
    expectedTexts << QString("1E%1").arg(k) << QString("2E%1").arg(k);
    decades << std::pow(10.0, k);
  }
  EXPECT_EQ(texts, expectedTexts);
  ASSERT_EQ(subTicks.size(), decades.size());
  for (int i = 0; i < decades.size(); ++i) EXPECT_DOUBLE_EQ(subTicks[i], decades[i]);

  // Decades: a longer, heavier tick mark and a solid grid line; doubled values: dotted lines.
  EXPECT_GT(axis->subTickLengthOut(), axis->tickLengthOut());
  EXPECT_GT(axis->subTickPen().widthF(), axis->tickPen().widthF());
  EXPECT_TRUE(axis->grid()->subGridVisible());
  EXPECT_EQ(axis->grid()->subGridPen().style(), Qt::SolidLine);
  EXPECT_EQ(axis->grid()->pen().style(), Qt::DotLine);

  // The axis draws the labels of the shown range.
  plot.setYMinimum(1e-15);
  plot.setYMaximum(1e-11);
  plot.widget()->replot();
  EXPECT_EQ(axis->tickVectorLabels(), QVector<QString>({"1E-15", "2E-15", "1E-14", "2E-14", "1E-13",
                                                        "2E-13", "1E-12", "2E-12", "1E-11"}));
}

TEST(QCustomPlotControlTest, DataPlotKeepsItsAutomaticTicksWithoutLabelMode) {
  QCustomPlotControl plot(DataPlotDesign());
  plot.widget()->replot();
  EXPECT_FALSE(plot.widget()->yAxis->ticker().dynamicCast<QCPAxisTickerText>());
  EXPECT_FALSE(plot.widget()->yAxis->grid()->subGridVisible());
  EXPECT_TRUE(plot.widget()->yAxis->tickVectorLabels().contains("0"));
}

TEST(QCustomPlotControlTest, GrowingSeriesIsAppendedPointByPointWithOneQueuedRedraw) {
  QCustomPlotControl plot(DataPlotDesign());
  int replots = 0;
  QObject::connect(plot.widget(), &QCustomPlot::afterReplot, [&replots] { ++replots; });
  const std::vector<double> y = Noise(10000);
  for (std::size_t i = 0; i < y.size(); ++i)
    plot.appendPoint("Curve1", static_cast<double>(i + 1), y[i]);

  ASSERT_EQ(plot.curveCount(), 1);
  EXPECT_EQ(plot.widget()->graph(0)->name(), "Curve1");
  ExpectSeries(plot.widget()->graph(0), y, 10000);
  EXPECT_EQ(replots, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(replots, 1);
}

TEST(QCustomPlotControlTest, PointsGoToTheCurveOfTheirName) {
  QCustomPlotControl plot(DataPlotDesign());
  plot.replaceLastPoint("Curve1", 5);  // no curve yet: nothing happens
  EXPECT_EQ(plot.curveCount(), 0);

  plot.appendPoint("Curve1", 1, 10);
  plot.appendPoint("Curve1", 2, 20);
  plot.appendPoint("Reference", 1, -1);
  plot.appendPoint("Curve1", 3, 30);
  plot.replaceLastPoint("Curve1", 33);
  plot.replaceLastPoint("Reference", -2);
  plot.replaceLastPoint("Missing", 7);
  ASSERT_EQ(plot.curveCount(), 2);
  EXPECT_EQ(plot.widget()->graph(0)->name(), "Curve1");
  EXPECT_EQ(Points(plot.widget()->graph(0)), PointList({{1, 10}, {2, 20}, {3, 33}}));
  EXPECT_EQ(plot.widget()->graph(1)->name(), "Reference");
  EXPECT_EQ(Points(plot.widget()->graph(1)), PointList({{1, -2}}));
  // The two curves are told apart by colour.
  EXPECT_NE(plot.widget()->graph(0)->pen().color(), plot.widget()->graph(1)->pen().color());

  // A point placed before the last one takes its place in X order; the last point stays last.
  plot.appendPoint("Curve1", 1.5, 15);
  plot.replaceLastPoint("Curve1", 35);
  EXPECT_EQ(Points(plot.widget()->graph(0)), PointList({{1, 10}, {1.5, 15}, {2, 20}, {3, 35}}));

  // After the curves are gone a new run starts its curve afresh.
  plot.removeAllCurves();
  EXPECT_EQ(plot.widget()->graphCount(), 0);
  plot.replaceLastPoint("Curve1", 5);
  EXPECT_EQ(plot.curveCount(), 0);
  plot.appendPoint("Curve1", 1, 4);
  ASSERT_EQ(plot.curveCount(), 1);
  EXPECT_EQ(Points(plot.widget()->graph(0)), PointList({{1, 4}}));
}

TEST(QCustomPlotControlTest, CurvesFromPointsAreMarkedAndReplacedAsAWhole) {
  QCustomPlotControl plot(StabilityPlotDesign());
  const std::vector<double> tau = {1, 2, 4, 8, 16};
  const std::vector<double> adev = {5e-12, 3e-12, 2e-12, 1.5e-12, 1.2e-12};
  plot.appendPoint("Curve2", 3, 9e-12);  // a curve begun point by point is replaced all the same
  plot.setCurve("Curve2", tau, adev);
  ASSERT_EQ(plot.curveCount(), 1);
  const QCPGraph* graph = plot.widget()->graph(0);
  EXPECT_EQ(graph->name(), "Curve2");
  EXPECT_EQ(Points(graph),
            PointList({{1, 5e-12}, {2, 3e-12}, {4, 2e-12}, {8, 1.5e-12}, {16, 1.2e-12}}));
  EXPECT_NE(graph->scatterStyle().shape(), QCPScatterStyle::ssNone);
  EXPECT_EQ(graph->lineStyle(), QCPGraph::lsLine);

  // The next evaluation replaces the levels; the curve stays one curve, still marked.
  const std::vector<double> fewerTau = {1, 2}, fewerAdev = {4e-12, 2.5e-12, 9e-12};
  plot.setCurve("Curve2", fewerTau, fewerAdev);  // the extra Y value has no X: left out
  ASSERT_EQ(plot.curveCount(), 1);
  EXPECT_EQ(Points(plot.widget()->graph(0)), PointList({{1, 4e-12}, {2, 2.5e-12}}));
  EXPECT_NE(plot.widget()->graph(0)->scatterStyle().shape(), QCPScatterStyle::ssNone);
  plot.setCurve("Curve2", {}, {});
  EXPECT_EQ(plot.widget()->graph(0)->dataCount(), 0);
  plot.replaceLastPoint("Curve2", 1);  // an empty curve has no last point
  EXPECT_EQ(plot.widget()->graph(0)->dataCount(), 0);

  new QCPItemText(plot.widget());
  plot.removeAllItems();
  EXPECT_EQ(plot.widget()->itemCount(), 0);
  EXPECT_EQ(plot.curveCount(), 1);
  plot.removeAllCurves();
  EXPECT_EQ(plot.curveCount(), 0);
  EXPECT_EQ(plot.widget()->graphCount(), 0);
}

TEST(QCustomPlotControlTest, AutoscaleFollowsRunningExtentsOfTheCurve) {
  enum Change { kAppend, kReplaceLast, kSetCurve };
  struct Step {
    Change change;
    std::vector<double> y;  // appended one after the other, the new last value, or the curve
    QCPRange expectedX, expectedY;
  };
  // Y ranges carry 5 % of the span above and below; a single X or a flat curve gets 10 % of its
  // value either side.
  const std::vector<Step> steps = {
      {kAppend, {4}, {0.9, 1.1}, {3.6, 4.4}},
      {kAppend, {4, 4}, {1, 3}, {3.6, 4.4}},
      {kAppend, {14}, {1, 4}, {3.5, 14.5}},
      {kReplaceLast, {2}, {1, 4}, {1.9, 4.1}},  // the old maximum was the last point: it must go
      {kAppend, {NAN}, {1, 5}, {1.9, 4.1}},     // a gap in the data stretches no axis
      {kReplaceLast, {-6}, {1, 5}, {-6.5, 4.5}},
      {kSetCurve, {0, 0}, {1, 2}, {-1, 1}},  // a replaced curve forgets its old extent
      {kAppend, {-20}, {1, 3}, {-21, 1}},
  };
  QCustomPlotControl plot(DataPlotDesign());
  double x = 0;
  for (const Step& step : steps) {
    switch (step.change) {
      case kAppend:
        for (double y : step.y) plot.appendPoint("Curve1", ++x, y);
        break;
      case kReplaceLast:
        plot.replaceLastPoint("Curve1", step.y.front());
        break;
      case kSetCurve: {
        std::vector<double> keys(step.y.size());
        std::iota(keys.begin(), keys.end(), 1.0);
        x = static_cast<double>(keys.size());
        plot.setCurve("Curve1", keys, step.y);
        break;
      }
    }
    plot.autoscaleNow();
    const QCPRange xRange = plot.widget()->xAxis->range(), yRange = plot.widget()->yAxis->range();
    EXPECT_DOUBLE_EQ(xRange.lower, step.expectedX.lower) << "after point " << x;
    EXPECT_DOUBLE_EQ(xRange.upper, step.expectedX.upper) << "after point " << x;
    EXPECT_DOUBLE_EQ(yRange.lower, step.expectedY.lower) << "after point " << x;
    EXPECT_DOUBLE_EQ(yRange.upper, step.expectedY.upper) << "after point " << x;
  }
}

TEST(QCustomPlotControlTest, AutoscaleOnLogarithmicAxesIgnoresValuesThatAreNotPositive) {
  QCustomPlotControl plot(StabilityPlotDesign());
  const std::vector<double> tau = {0, 1, 10, 100};
  const std::vector<double> adev = {-1, 1e-12, 0, 1e-13};
  plot.setCurve("Curve2", tau, adev);
  plot.autoscaleNow();
  EXPECT_DOUBLE_EQ(plot.widget()->xAxis->range().lower, 1);
  EXPECT_DOUBLE_EQ(plot.widget()->xAxis->range().upper, 100);
  const double margin = std::pow(10.0, 0.05);  // 5 % of the one decade spanned
  EXPECT_DOUBLE_EQ(plot.widget()->yAxis->range().lower, 1e-13 / margin);
  EXPECT_DOUBLE_EQ(plot.widget()->yAxis->range().upper, 1e-12 * margin);
}

TEST(QCustomPlotControlTest, AutoscaleInLabelModeReachesTheNearestLabels) {
  QCustomPlotControl plot(StabilityPlotDesign());
  AddDecadeLabels(plot);
  const std::vector<double> tau = {1, 2, 4};
  const std::vector<double> adev = {7e-13, 5e-13, 3e-13};
  plot.setCurve("Curve2", tau, adev);
  plot.autoscaleNow();
  EXPECT_DOUBLE_EQ(plot.widget()->yAxis->range().lower, 2e-13);
  EXPECT_DOUBLE_EQ(plot.widget()->yAxis->range().upper, 1e-12);
  // Tau 1 to 4 s shows the whole decade, so the axis carries its decade ticks.
  EXPECT_DOUBLE_EQ(plot.widget()->xAxis->range().lower, 1);
  EXPECT_DOUBLE_EQ(plot.widget()->xAxis->range().upper, 10);
}

TEST(QCustomPlotControlTest, LimitsApplyAsPairsAndUnusablePairsLeaveTheAxis) {
  struct Case {
    bool logarithmic;
    double min, max;
    QCPRange expected;
  };
  const std::vector<Case> cases = {
      {false, 500, 2000, {500, 2000}},  // new minimum above the old maximum of 1000
      {false, -3, -3, {-3, 1000}},      // the maximum is refused, the minimum stays
      {false, 5, 2, {5, 1000}},         // likewise
      {true, 10, 1e4, {10, 1e4}},       // a logarithmic axis takes positive limits
      {true, 0, 100, {1, 1000}},        // but neither zero
      {true, -1, 100, {1, 1000}},       // nor a negative value
  };
  for (const Case& c : cases) {
    QCustomPlotControl plot(c.logarithmic ? StabilityPlotDesign() : DataPlotDesign());
    plot.setXMinimum(c.min);
    plot.setXMaximum(c.max);
    EXPECT_EQ(plot.widget()->xAxis->range(), c.expected) << c.min << " .. " << c.max;
    EXPECT_EQ(plot.xMinimum(), c.min);
    EXPECT_EQ(plot.xMaximum(), c.max);
  }

  QCustomPlotControl plot(DataPlotDesign());
  plot.setYMinimum(-2);
  plot.setYMaximum(3);
  plot.appendPoint("Curve1", 1, 50);
  plot.appendPoint("Curve1", 2, 60);
  plot.autoscaleNow();
  plot.applyLimitsNow();
  EXPECT_EQ(plot.widget()->yAxis->range(), QCPRange(-2, 3));
  EXPECT_EQ(plot.widget()->xAxis->range(), QCPRange(1, 1000));
}

TEST(QCustomPlotControlTest, BoundKeysActOnTheFocusedPlot) {
  QCustomPlotControl plot(DataPlotDesign());
  plot.appendPoint("Curve1", 1, -4);
  plot.appendPoint("Curve1", 2, 6);
  PressKey(plot, 'i');  // not bound yet
  EXPECT_EQ(plot.widget()->xAxis->range(), QCPRange(1, 1000));
  for (char key : {'l', 'A', 'b', 'i', 'p', 'y'}) plot.bindKey(key);
  QCPAxis* x = plot.widget()->xAxis;

  PressKey(plot, 'a');
  EXPECT_EQ(x->range(), QCPRange(1, 2));
  PressKey(plot, 'l');
  EXPECT_EQ(x->range(), QCPRange(1, 1000));
  PressKey(plot, 'i');
  EXPECT_DOUBLE_EQ(x->range().size(), 999.0 / 2);
  EXPECT_DOUBLE_EQ(x->range().center(), 500.5);
  PressKey(plot, 'b');
  EXPECT_DOUBLE_EQ(x->range().size(), 999.0);

  x->setRange(1.5, 2.5);  // only the second point is shown
  PressKey(plot, 'y');
  EXPECT_EQ(plot.widget()->yAxis->range(), QCPRange(5.4, 6.6));

  PressKey(plot, 'p');
  EXPECT_EQ(plot.widget()->graph(0)->lineStyle(), QCPGraph::lsNone);
  EXPECT_NE(plot.widget()->graph(0)->scatterStyle().shape(), QCPScatterStyle::ssNone);
  PressKey(plot, 'p');
  EXPECT_EQ(plot.widget()->graph(0)->lineStyle(), QCPGraph::lsLine);
}

TEST(QCustomPlotControlTest, LogarithmicZoomKeepsTheGeometricMiddle) {
  QCustomPlotControl plot(StabilityPlotDesign());
  plot.bindKey('i');
  PressKey(plot, 'i');
  // 1 .. 1000 halved about 10^1.5 in decades: 10^0.75 .. 10^2.25.
  EXPECT_DOUBLE_EQ(plot.widget()->xAxis->range().lower, std::pow(10.0, 0.75));
  EXPECT_DOUBLE_EQ(plot.widget()->xAxis->range().upper, std::pow(10.0, 2.25));
}

TEST(QCustomPlotControlTest, InteractionSwitchesMouseZoomAndDrag) {
  QCustomPlotControl plot(DataPlotDesign());
  EXPECT_TRUE(plot.widget()->interactions().testFlag(QCP::iRangeZoom));
  plot.setInteraction(false);
  EXPECT_FALSE(plot.interaction());
  EXPECT_EQ(plot.widget()->interactions(), QCP::Interactions());
  plot.setInteraction(true);
  EXPECT_TRUE(plot.interaction());
}

TEST(QCustomPlotControlTest, PictureIsABitmapOfThePlotsPixelSizeOrAReasonWhyNot) {
  QTemporaryDir folder;
  QCustomPlotControl plot(DataPlotDesign());
  plot.appendPoint("Curve1", 1, 1);
  plot.appendPoint("Curve1", 2, -2);
  plot.appendPoint("Curve1", 3, 3);
  const QString path = folder.filePath("data.bmp");
  ASSERT_TRUE(plot.savePicture(path));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().startsWith("BM"));
  const QImage image(path, "BMP");
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), plot.widget()->size());

  const QString missing = folder.filePath("missing/data.bmp");
  const platform::Result<> failed = plot.savePicture(missing);
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.reason(), missing + ": no such folder");
  EXPECT_FALSE(plot.savePicture(folder.path()));
  EXPECT_FALSE(plot.savePicture(""));
}

TEST(QCustomPlotControlTest, ClipboardReceivesThePlotInItsPlotAreaColour) {
  QCustomPlotControl plot(DataPlotDesign());
  QGuiApplication::clipboard()->clear();
  plot.setPlotAreaColor(0x0000FF);  // 0xBBGGRR: red
  ASSERT_TRUE(plot.copyToClipboard());
  const QImage image = QGuiApplication::clipboard()->image();
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), plot.widget()->size());

  std::map<QRgb, int> areaColours;
  const QRect area = plot.widget()->axisRect()->rect();
  for (int px = area.left() + 2; px < area.right() - 2; px += 3)
    for (int py = area.top() + 2; py < area.bottom() - 2; py += 3)
      ++areaColours[image.pixel(px, py)];
  const auto mostCommon = std::max_element(areaColours.begin(), areaColours.end(),
                                           [](auto a, auto b) { return a.second < b.second; });
  EXPECT_EQ(QColor(mostCommon->first), QColor(Qt::red));
}

TEST(QCustomPlotControlTest, SizeInTwipsBecomesPixelsAtTheLogicalResolution) {
  QCustomPlotControl plot(DataPlotDesign());
  const QCustomPlot* widget = plot.widget();
  EXPECT_EQ(plot.width(), 6075);
  EXPECT_EQ(widget->width(), std::lround(6075 * widget->logicalDpiX() / 1440.0));

  plot.setWidth(6080);
  plot.setHeight(2600);
  EXPECT_EQ(plot.width(), 6080);
  EXPECT_EQ(plot.height(), 2600);
  EXPECT_EQ(widget->width(), std::lround(6080 * widget->logicalDpiX() / 1440.0));
  EXPECT_EQ(widget->height(), std::lround(2600 * widget->logicalDpiY() / 1440.0));
  EXPECT_EQ(widget->pos(), QPoint(0, 0));

  const QSize before = widget->size();
  for (int twips : {0, -100, -400}) {
    plot.setWidth(twips);
    plot.setHeight(twips);
  }
  EXPECT_EQ(plot.width(), 6080);
  EXPECT_EQ(plot.height(), 2600);
  EXPECT_EQ(widget->size(), before);
}

}  // namespace tessarin::qt
