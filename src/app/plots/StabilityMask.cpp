#include "app/plots/StabilityMask.h"

#include <QDir>
#include <array>
#include <cmath>

#include "analysis/TelecomMasks.h"
#include "app/Console.h"
#include "app/Startup.h"
#include "app/TextFileStore.h"
#include "app/watch/Events.h"

namespace tessarin::app::plots {

namespace {

const QString kMaskFile = QStringLiteral("stabilitymask.txt");
const QString kNone = QStringLiteral("none");
const QString kMaskLine = QStringLiteral("Mask");

// "None", then the clock classes in the order of analysis::telecomMaskNames().
std::array<MenuItem*, 7> maskItems(Menus& m) {
  return {&m.maskNone,  &m.maskPrc,  &m.maskPrtcA, &m.maskPrtcB,
          &m.maskEprtc, &m.maskEec1, &m.maskEec2};
}

QString maskFile(const Console& c) { return QDir(c.settingsFolder()).filePath(kMaskFile); }

std::optional<stability::Statistic> maskedStatistic(const Menus& m) {
  if (m.showTdev.checked()) return stability::Statistic::Tdev;
  if (m.showMtie.checked()) return stability::Statistic::Mtie;
  return std::nullopt;
}

const analysis::TelecomMask* maskInForce(const Console& c) {
  const std::optional<stability::Statistic> statistic = maskedStatistic(c.menus());
  if (!statistic || c.maskWatch().chosen().isEmpty()) return nullptr;
  return analysis::telecomMask(c.maskWatch().chosen().toStdString(), *statistic);
}

void checkItem(Console& c, std::size_t chosen) {
  const auto items = maskItems(c.menus());
  items[chosen]->setChecked(true);
  for (std::size_t i = 0; i < items.size(); ++i)
    if (i != chosen) items[i]->setChecked(false);
}

QString nanoseconds(double seconds) { return QString::number(seconds * 1e9, 'g', 4) + " ns"; }

QString failureText(const QString& measure, const analysis::TelecomMask& mask,
                    const MaskWatch& watch) {
  for (const MaskWatch::Point& p : watch.points())
    if (p.verdict == analysis::MaskVerdict::Fail)
      return measure + " fails " + QString::fromUtf8(mask.title) + " at tau " +
             QString::number(p.tau, 'g', 6) + " s: " + nanoseconds(p.value) + " over " +
             nanoseconds(p.limit);
  return {};
}

// The line is drawn after the curve, so that the curve keeps the plot's first colour.
void drawMaskLine(Console& c, const analysis::TelecomMask* mask,
                  const std::vector<run::Measurement::CurvePoint>& curve) {
  platform::PlotControl& plot = c.platform().stabilityPlot;
  if (!mask || curve.empty()) {
    // Only a line drawn before makes a second curve: with no mask ever chosen the plot holds the
    // stability curve alone.
    if (plot.curveCount() > 1) plot.setLimitLine(kMaskLine, {}, {});
    return;
  }
  if (plot.curveCount() == 0) return;
  const analysis::MaskLine line = analysis::maskLine(*mask, curve.front().tau, curve.back().tau);
  plot.setLimitLine(kMaskLine, line.tau, line.limit);
}

}  // namespace

void chooseMask(Console& c, int index) {
  const std::vector<std::string_view> names = analysis::telecomMaskNames();
  const auto chosen = static_cast<std::size_t>(index);
  checkItem(c, chosen);
  const QString name = chosen == 0 ? QString() : QString::fromUtf8(names[chosen - 1]);
  c.maskWatch().choose(name);
  judgeStabilityCurve(c);
  if (c.menus().autoscale.checked()) c.platform().stabilityPlot.autoscaleNow();
  const platform::Result<> saved = saveTextFile(maskFile(c), name.isEmpty() ? kNone : name);
  if (!saved) c.setStatus("Stability mask not saved: " + saved.reason());
}

void restoreStabilityMask(Console& c) {
  checkItem(c, 0);
  showMaskChoice(c);
  const platform::Result<std::optional<QString>> text = loadTextFile(maskFile(c));
  if (!text) {
    reportStartupProblem(c, "Stability mask not read: " + text.reason());
    return;
  }
  if (!text.value()) return;
  const QString word = text.value()->trimmed().toLower();
  if (word == kNone) return;
  const std::vector<std::string_view> names = analysis::telecomMaskNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (word == QString::fromUtf8(names[i])) {
      checkItem(c, i + 1);
      c.maskWatch().choose(word);
      return;
    }
  reportStartupProblem(c, kMaskFile + " names no mask: \"" + word + "\"");
}

void showMaskChoice(Console& c) {
  c.menus().maskMenu.setVisible(maskedStatistic(c.menus()).has_value());
}

void judgeStabilityCurve(Console& c) {
  const analysis::TelecomMask* mask = maskInForce(c);
  // The upper bounds are worked out only while a mask needs them; once they are, the curve is
  // drawn again and judged in that drawing.
  if (c.measurement().keepIntervals(mask != nullptr)) return;
  // With no mask in force nothing is judged and the curve is not copied: an analysis then costs
  // what it costs without masks, no allocation included.
  if (mask == nullptr) {
    drawMaskLine(c, nullptr, {});
    c.maskWatch().judge(nullptr, {});
    return;
  }
  const std::vector<run::Measurement::CurvePoint> curve = c.measurement().stabilityCurve();
  drawMaskLine(c, mask, curve);
  MaskWatch& watch = c.maskWatch();
  const std::optional<QString> event = watch.judge(mask, curve);
  if (!event) return;
  const QString measure = maskedStatistic(c.menus()) == stability::Statistic::Tdev
                              ? QStringLiteral("TDEV")
                              : QStringLiteral("MTIE");
  const QString text = *event == "mask-failed"
                           ? failureText(measure, *mask, watch)
                           : measure + " meets " + QString::fromUtf8(mask->title) + " again";
  watch::recordEvent(c, *event, text);
}

void forgetMaskVerdicts(Console& c) { c.maskWatch().forget(); }

}  // namespace tessarin::app::plots
