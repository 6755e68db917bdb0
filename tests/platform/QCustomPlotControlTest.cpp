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
#include <random>
#include <vector>

#include "graphics/PlotDesign.h"
#include "platform/qt/QCustomPlotControl.h"

namespace {

// The stability plot's label list as start-up fills it: 2E-3, 1E-3, ..., 2E-18, 1E-18.
void AddDecadeLabels(QCustomPlotControl& plot) {
  plot.setYAxisMode(2);
  for (int k = -3; k >= -18; --k)
    for (int mantissa : {2, 1}) {
      const bool decade = mantissa == 1;
      plot.addYLabel(QString("%1E%2").arg(mantissa).arg(k), mantissa * std::pow(10.0, k), true,
                     decade ? 3 : 2, decade ? 2 : 1);
    }
}

void ExpectSeries(const QCPGraph* graph, const std::vector<double>& y, int count) {
  ASSERT_EQ(graph->dataCount(), count);
  auto point = graph->data()->constBegin();
  for (int i = 0; i < count; ++i, ++point) {
    ASSERT_EQ(point->key, 1.0 + i) << "point " << i;
    ASSERT_EQ(point->value, y[i]) << "point " << i;
  }
}

void PressKey(QCustomPlotControl& plot, char key) {
  QKeyEvent event(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(key)));
  QCoreApplication::sendEvent(plot.widget(), &event);
}

std::vector<double> Noise(int count) {
  std::mt19937 generator(20261207);
  std::normal_distribution<double> normal(0.0, 3.0);
  std::vector<double> values(count);
  for (double& v : values) v = normal(generator);
  return values;
}

}  // namespace

TEST(QCustomPlotControlTest, DesignSetsTitleCaptionsAndAxes) {
  QCustomPlotControl data(DataPlotDesign());
  QCustomPlotControl stability(StabilityPlotDesign());
  EXPECT_EQ(data.title(), "Frequency Diff.");
  EXPECT_EQ(data.widget()->xAxis->label(), "Samples");
  EXPECT_EQ(data.widget()->yAxis->label(), "1E-12");
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
  plot.addCurve("Curve1", 1, 1, y.data(), 1);
  for (int n = 1; n <= 10000; ++n) plot.replaceCurveData(1, 1, y.data(), n);

  ASSERT_EQ(plot.curveCount(), 1);
  EXPECT_EQ(plot.widget()->graph(0)->name(), "Curve1");
  ExpectSeries(plot.widget()->graph(0), y, 10000);
  EXPECT_EQ(replots, 0);
  QCoreApplication::processEvents();
  EXPECT_EQ(replots, 1);
}

TEST(QCustomPlotControlTest, SeriesFollowsReplacedLastPointShrinkingAndNewSpacing) {
  QCustomPlotControl plot(DataPlotDesign());
  std::vector<double> y = Noise(1000);
  plot.addCurve("Curve1", 1, 1, y.data(), 1);
  for (int n = 1; n <= 1000; ++n) plot.replaceCurveData(1, 1, y.data(), n);
  const QCPGraph* graph = plot.widget()->graph(0);

  y[999] = 42;
  plot.replaceCurveData(1, 1, y.data(), 1000);
  ExpectSeries(graph, y, 1000);

  plot.replaceCurveData(1, 1, y.data(), 300);
  ExpectSeries(graph, y, 300);

  plot.replaceCurveData(1, 1, y.data(), 0);
  EXPECT_EQ(graph->dataCount(), 0);
  plot.replaceCurveData(1, 1, y.data(), 1);
  ExpectSeries(graph, y, 1);

  plot.replaceCurveData(0, 2, y.data(), 2);
  ASSERT_EQ(graph->dataCount(), 2);
  EXPECT_EQ((graph->data()->constEnd() - 1)->key, 2.0);
}

TEST(QCustomPlotControlTest, CurvesFromPointsAndTheirRemoval) {
  QCustomPlotControl plot(StabilityPlotDesign());
  const double tau[] = {1, 2, 4, 8, 16};
  const double adev[] = {5e-12, 3e-12, 2e-12, 1.5e-12, 1.2e-12};
  plot.addCurveXY("Curve2", tau, adev, 5, false);
  ASSERT_EQ(plot.curveCount(), 1);
  const QCPGraph* graph = plot.widget()->graph(0);
  EXPECT_EQ(graph->name(), "Curve2");
  ASSERT_EQ(graph->dataCount(), 5);
  int i = 0;
  for (auto point = graph->data()->constBegin(); point != graph->data()->constEnd(); ++point, ++i) {
    EXPECT_EQ(point->key, tau[i]);
    EXPECT_EQ(point->value, adev[i]);
  }

  plot.removeAllCurves();
  plot.clearSecondItemList();
  EXPECT_EQ(plot.curveCount(), 0);
  EXPECT_EQ(plot.widget()->graphCount(), 0);
  plot.replaceCurveData(1, 1, adev, 5);  // no curve to replace: nothing happens
  EXPECT_EQ(plot.curveCount(), 0);
}

TEST(QCustomPlotControlTest, AutoscaleFollowsRunningExtentsOfTheSeries) {
  struct Step {
    std::vector<double> y;  // the whole series handed over
    QCPRange expectedY;
  };
  // Y ranges carry 5 % of the span above and below; a flat series gets 10 % of its value.
  const std::vector<Step> steps = {
      {{4}, {3.6, 4.4}},
      {{4, 4, 4}, {3.6, 4.4}},
      {{4, 4, 4, 14}, {3.5, 14.5}},
      {{4, 4, 4, 2}, {1.9, 4.1}},  // the old maximum was the last point: it must go
      {{4, 4, 4, 2, NAN}, {1.9, 4.1}},
      {{0, 0}, {-1, 1}},        // a shorter series is taken afresh
      {{0, -20, 0}, {-21, 1}},  // so is one whose earlier points changed
  };
  QCustomPlotControl plot(DataPlotDesign());
  plot.addCurve("Curve1", 1, 1, steps[0].y.data(), 0);
  for (const Step& step : steps) {
    const int count = static_cast<int>(step.y.size());
    plot.replaceCurveData(1, 1, step.y.data(), count);
    plot.autoscaleNow();
    const QCPRange x = plot.widget()->xAxis->range(), y = plot.widget()->yAxis->range();
    if (count > 1) {
      EXPECT_DOUBLE_EQ(x.lower, 1);
      EXPECT_DOUBLE_EQ(x.upper, count);
    }
    EXPECT_DOUBLE_EQ(y.lower, step.expectedY.lower) << "series of " << count;
    EXPECT_DOUBLE_EQ(y.upper, step.expectedY.upper) << "series of " << count;
  }
}

TEST(QCustomPlotControlTest, AutoscaleOnLogarithmicAxesIgnoresValuesThatAreNotPositive) {
  QCustomPlotControl plot(StabilityPlotDesign());
  const double tau[] = {0, 1, 10, 100};
  const double adev[] = {-1, 1e-12, 0, 1e-13};
  plot.addCurveXY("Curve2", tau, adev, 4, false);
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
  const double tau[] = {1, 2, 4};
  const double adev[] = {7e-13, 5e-13, 3e-13};
  plot.addCurveXY("Curve2", tau, adev, 3, false);
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
  const double y[] = {50, 60};
  plot.addCurve("Curve1", 1, 1, y, 2);
  plot.autoscaleNow();
  plot.applyLimitsNow();
  EXPECT_EQ(plot.widget()->yAxis->range(), QCPRange(-2, 3));
  EXPECT_EQ(plot.widget()->xAxis->range(), QCPRange(1, 1000));
}

TEST(QCustomPlotControlTest, BoundKeysActOnTheFocusedPlot) {
  QCustomPlotControl plot(DataPlotDesign());
  const double y[] = {-4, 6};
  plot.addCurve("Curve1", 1, 1, y, 2);
  PressKey(plot, 'i');  // not bound yet
  EXPECT_EQ(plot.widget()->xAxis->range(), QCPRange(1, 1000));
  for (char key : {'l', 'a', 'b', 'i', 'p', 'y'}) plot.bindKey(256, 0, key, 0);
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
  plot.bindKey(256, 0, 'i', 0);
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

TEST(QCustomPlotControlTest, PictureIsSavedAsBitmapFile) {
  QTemporaryDir folder;
  QCustomPlotControl plot(DataPlotDesign());
  const double y[] = {1, -2, 3};
  plot.addCurve("Curve1", 1, 1, y, 3);
  const QString path = folder.filePath("data.bmp");
  ASSERT_TRUE(plot.savePicture(path));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_TRUE(bytes.startsWith("BM"));
  EXPECT_GT(bytes.size(), 1000);

  EXPECT_FALSE(plot.savePicture(folder.filePath("missing/folder/data.bmp")));
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
