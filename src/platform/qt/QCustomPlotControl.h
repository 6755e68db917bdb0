#pragma once

#include <qcustomplot.h>

#include <QPointer>
#include <QSharedPointer>
#include <set>
#include <vector>

#include "graphics/PlotDesign.h"
#include "platform/PlotControl.h"
#include "platform/qt/PlotExtent.h"

class PlotLabelTicker;

// A console plot drawn by QCustomPlot. Curves follow a growing series point by point, autoscale
// works from running extents, and redraws are queued, so a sample costs the same at the end of a
// week-long run as at its start.
class QCustomPlotControl : public PlotControl {
 public:
  QCustomPlotControl(const PlotDesign& design, QWidget* parent = nullptr);
  ~QCustomPlotControl() override;
  QCustomPlotControl(const QCustomPlotControl&) = delete;
  QCustomPlotControl& operator=(const QCustomPlotControl&) = delete;

  // The plot widget, for the window that holds it.
  QCustomPlot* widget() const;

  QString title() const override;
  void setTitle(const QString& title) override;

  void setXMinimum(double value) override;
  void setXMaximum(double value) override;
  void setYMinimum(double value) override;
  void setYMaximum(double value) override;
  double xMinimum() const override;
  double xMaximum() const override;
  double yMinimum() const override;
  double yMaximum() const override;

  void setYAxisMode(int mode) override;
  void addYLabel(const QString& text, double value, bool priority, int ticmark,
                 int gridline) override;

  void autoscaleNow() override;
  void applyLimitsNow() override;

  int curveCount() const override;
  void removeAllCurves() override;
  void clearSecondItemList() override;

  void addCurve(const QString& name, double xStart, double xStep, const double* y,
                int count) override;
  void addCurveXY(const QString& name, const double* x, const double* y, int count,
                  bool flag) override;
  void replaceCurveData(double xStart, double xStep, const double* y, int count) override;

  bool interaction() const override;
  void setInteraction(bool on) override;
  void bindKey(std::int32_t kind, std::int32_t modifier, std::int32_t charCode,
               std::int32_t action) override;

  void setPlotAreaColor(std::uint32_t bgr) override;
  bool copyToClipboard() override;
  bool savePicture(const QString& path) override;

  void setWidth(int twips) override;
  void setHeight(int twips) override;
  int width() const override;
  int height() const override;

 private:
  struct Curve {
    QCPGraph* graph;
    CurveExtent extent;
    bool markers;  // explicit points (the Allan deviation levels) are always marked
    // Spacing of a curve given as a series, to recognise a call that only grew it.
    double xStart = std::numeric_limits<double>::quiet_NaN();
    double xStep = std::numeric_limits<double>::quiet_NaN();
  };
  struct Limits {
    double min, max;
  };

  Curve& newCurve(const QString& name, bool markers);
  void setSeries(Curve& curve, double xStart, double xStep, const double* y, int count);
  void styleCurve(Curve& curve) const;
  void applyLimits(QCPAxis* axis, const Limits& limits);
  void fitValueAxis(const ValueSpan& values);
  void fitValuesToVisibleKeys();
  void zoom(double factor);
  bool onKey(char16_t key);
  void applyColours();
  void queueReplot();

  QPointer<QCustomPlot> plot_;
  QCPTextElement* title_;
  QSharedPointer<PlotLabelTicker> labelTicker_;
  QSharedPointer<QCPAxisTicker> automaticYTicker_;
  std::vector<Curve> curves_;
  Limits xLimits_, yLimits_;
  std::set<char16_t> boundKeys_;
  QColor plotArea_ = Qt::black;
  bool labelMode_ = false;
  bool lines_ = true;  // curves drawn as lines; off: points only
  int widthTwips_, heightTwips_;
};
