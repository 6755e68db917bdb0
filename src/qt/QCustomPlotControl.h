#pragma once

#include <qcustomplot.h>

#include <QPointer>
#include <QSharedPointer>
#include <set>
#include <vector>

#include "graphics/PlotDesign.h"
#include "platform/PlotControl.h"
#include "qt/PlotExtent.h"

namespace tessarin::qt {

class PlotLabelTicker;

// A console plot drawn by QCustomPlot. Curves grow point by point, autoscale works from running
// extents, and redraws are queued, so a sample costs the same at the end of a week-long run as at
// its start.
class QCustomPlotControl : public platform::PlotControl {
 public:
  explicit QCustomPlotControl(const graphics::PlotDesign& design, QWidget* parent = nullptr);
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

  void showOnlyYLabels() override;
  void addYLabel(const QString& text, double value, bool emphasised) override;

  void autoscaleNow() override;
  void applyLimitsNow() override;

  int curveCount() const override;
  void removeAllCurves() override;
  void removeAllItems() override;

  void appendPoint(const QString& name, double x, double y) override;
  void replaceLastPoint(const QString& name, double y) override;
  void setCurve(const QString& name, std::span<const double> x, std::span<const double> y) override;
  void setErrorBars(const QString& name, std::span<const double> low,
                    std::span<const double> high) override;
  void setLimitLine(const QString& name, std::span<const double> x,
                    std::span<const double> y) override;
  void setYUnit(const QString& unit) override;

  bool interaction() const override;
  void setInteraction(bool on) override;
  void bindKey(char key) override;

  void setPlotAreaColor(std::uint32_t bgr) override;
  bool copyToClipboard() override;
  platform::Result<> savePicture(const QString& path) override;

  void setWidth(int twips) override;
  void setHeight(int twips) override;
  int width() const override;
  int height() const override;

 private:
  struct Curve {
    QString name;
    QCPGraph* graph;
    CurveExtent extent;
    bool markers;  // explicit points (the Allan deviation levels) are always marked
    QCPErrorBars* bars = nullptr;
    ValueSpan barBounds;     // the ends of the error bars, for autoscale
    bool limitLine = false;  // a mask's limit: dashed, in its own colour, never marked
  };
  struct Limits {
    double min, max;
  };

  Curve* findCurve(const QString& name);
  Curve& curveNamed(const QString& name, bool markers);
  void styleCurve(Curve& curve) const;
  // Gives the curve these points in place of its own, and its extent with them.
  void replacePoints(Curve& curve, std::span<const double> x, std::span<const double> y);
  void removeErrorBars(Curve& curve);
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
  std::vector<Curve> curves_;  // one or two per plot: found by name with a plain scan
  Limits xLimits_, yLimits_;
  std::set<char16_t> boundKeys_;
  QColor plotArea_ = Qt::black;
  bool labelMode_ = false;
  bool lines_ = true;  // curves drawn as lines; off: points only
  int widthTwips_, heightTwips_;
};

}  // namespace tessarin::qt
