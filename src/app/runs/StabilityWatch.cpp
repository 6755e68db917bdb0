#include "app/runs/StabilityWatch.h"

#include "app/Console.h"
#include "app/watch/Events.h"

namespace tessarin::app::runs {

namespace {

using analysis::StabilityChange;

QString changeText(const Console& c, const StabilityChange::Change& change) {
  const QString tau = QString::number(c.runFacts() ? c.runFacts()->tauSeconds : 1, 'g', 6);
  const QString at = QStringLiteral("Stability changed at tau %1 s: ").arg(tau);
  switch (change.kind) {
    case StabilityChange::Kind::NoiseRose:
    case StabilityChange::Kind::NoiseFell:
      return at + QStringLiteral("the Allan deviation %1 to %2 times the run's level")
                      .arg(change.kind == StabilityChange::Kind::NoiseRose ? "rose" : "fell")
                      .arg(change.ratio, 0, 'f', 1);
    case StabilityChange::Kind::FrequencyStep:
      return at + QStringLiteral("the frequency stepped by %1").arg(change.step, 0, 'E', 1);
  }
  return at;
}

}  // namespace

void startStabilityWatch(Console& c) {
  c.stabilityChange() = StabilityChange(c.stabilityThreshold());
}

void watchStability(Console& c) {
  StabilityChange& watch = c.stabilityChange();
  switch (watch.add(c.measurement().lastFrequency())) {
    case StabilityChange::Verdict::Same:
      return;
    case StabilityChange::Verdict::Changed:
      watch::recordEvent(c, QStringLiteral("stability-changed"), changeText(c, *watch.change()));
      return;
    case StabilityChange::Verdict::Settled:
      watch::recordEvent(c, QStringLiteral("stability-settled"),
                         QStringLiteral("Stability settled: the run's level since the change is "
                                        "learned again"));
      return;
  }
}

}  // namespace tessarin::app::runs
