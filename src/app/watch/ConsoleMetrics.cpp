#include "app/watch/ConsoleMetrics.h"

#include <algorithm>
#include <cmath>

#include "app/Console.h"
#include "app/watch/Exposition.h"
#include "app/watch/PlotTap.h"
#include "app/watch/ShownNames.h"

namespace tessarin::app::watch {

namespace {

using Type = Exposition::Type;

QString tauLabel(double tau) { return QString::fromLatin1(exposedNumber(tau)); }

void runFacts(Exposition& out, const Console& c) {
  const std::optional<RunFacts>& run = c.runFacts();
  out.family("tessarin_run_samples", Type::Gauge,
             "Samples accepted in the current run, or in the last one until the next starts.");
  out.count("tessarin_run_samples", {}, std::uint64_t(c.measurement().sampleCount()));
  out.family("tessarin_tau_seconds", Type::Gauge, "The run's sampling interval tau.");
  if (run) out.sample("tessarin_tau_seconds", {}, run->tauSeconds);
  out.family("tessarin_dut_frequency_hertz", Type::Gauge,
             "The nominal frequency of the device under test.");
  if (run) out.sample("tessarin_dut_frequency_hertz", {}, run->dutHz);
  out.family("tessarin_last_sample_timestamp_seconds", Type::Gauge,
             "When the last sample came, in seconds since 1970 (UTC).");
  const std::optional<std::chrono::milliseconds> last = c.silence().lastSample();
  if (run && last)
    out.sample(
        "tessarin_last_sample_timestamp_seconds", {},
        double(run->startedAt.toMSecsSinceEpoch() + (*last - run->startedSinceStart).count()) /
            1000);
}

// The curve as the stability plot draws it, and the Allan deviation's levels when another
// statistic is shown: the console keeps those whatever the plot shows.
void stability(Exposition& out, const Console& c, const PlotTap& stabilityPlot) {
  const QString shown = shownStatisticName(c.menus());
  const std::vector<PlotTap::StabilityPoint>& curve = stabilityPlot.stabilityPoints();
  const std::span<const stability::StabilityPoint> allan = c.measurement().allanLevels();
  const bool allanToo = shown != "adev";
  out.family("tessarin_deviation", Type::Gauge,
             "The stability curve at each tau: adev and mdev are fractional frequency, tdev and "
             "mtie seconds.");
  for (const PlotTap::StabilityPoint& p : curve)
    out.sample("tessarin_deviation", {{"statistic", shown}, {"tau_seconds", tauLabel(p.tau)}},
               p.value);
  if (allanToo)
    for (const stability::StabilityPoint& p : allan)
      if (std::isfinite(p.deviation))
        out.sample("tessarin_deviation", {{"statistic", "adev"}, {"tau_seconds", tauLabel(p.tau)}},
                   p.deviation);
  for (const auto& [name, high] : {std::pair{"tessarin_deviation_lower", false},
                                   std::pair{"tessarin_deviation_upper", true}}) {
    out.family(name, Type::Gauge,
               high ? "Upper bound of the deviation's 68 % confidence interval, as drawn."
                    : "Lower bound of the deviation's 68 % confidence interval, as drawn.");
    for (const PlotTap::StabilityPoint& p : curve)
      if (const double bound = high ? p.high : p.low; std::isfinite(bound))
        out.sample(name, {{"statistic", shown}, {"tau_seconds", tauLabel(p.tau)}}, bound);
  }
  out.family("tessarin_noise_alpha", Type::Gauge,
             "The power-law noise exponent alpha (S_y ~ f^alpha) the interval was worked out for.");
  const std::span<const double> alphas = c.measurement().noiseAlphas();
  if (alphas.size() == curve.size())
    for (std::size_t i = 0; i < curve.size(); ++i)
      if (std::isfinite(alphas[i]))
        out.sample("tessarin_noise_alpha",
                   {{"statistic", shown}, {"tau_seconds", tauLabel(curve[i].tau)}}, alphas[i]);
}

std::uint64_t eventCount(const EventLog& log, const QString& name) {
  const auto found = log.counts().find(name);
  return found == log.counts().end() ? 0 : found->second;
}

void counters(Exposition& out, const Console& c) {
  const run::Measurement& m = c.measurement();
  out.family("tessarin_samples_total", Type::Counter,
             "Samples accepted since the console started.");
  out.count("tessarin_samples_total", {}, std::uint64_t(m.samplesSinceStart()));
  out.family("tessarin_rejected_readings_total", Type::Counter,
             "Readings dropped as jumps since the console started.");
  out.count("tessarin_rejected_readings_total", {}, std::uint64_t(m.rejectedSinceStart()));
  out.family("tessarin_port_losses_total", Type::Counter,
             "Times the serial port was lost since the console started.");
  out.count("tessarin_port_losses_total", {}, eventCount(c.events(), "port-lost"));
  out.family("tessarin_resumes_total", Type::Counter,
             "Runs resumed after a port loss since the console started.");
  out.count("tessarin_resumes_total", {}, std::uint64_t(c.resumption().resumes()));
  out.family("tessarin_data_file_write_failures_total", Type::Counter,
             "Appends to the data file that failed since the console started.");
  out.count("tessarin_data_file_write_failures_total", {},
            std::uint64_t(c.recorder().failedWrites()));
  out.family("tessarin_events_total", Type::Counter,
             "Events since the console started, by kind (those of /api/events).");
  for (const QString& kind : EventLog::kNames)
    out.count("tessarin_events_total", {{"kind", kind}}, eventCount(c.events(), kind));
  for (const auto& [kind, count] : c.events().counts())
    if (std::find(EventLog::kNames.begin(), EventLog::kNames.end(), kind) == EventLog::kNames.end())
      out.count("tessarin_events_total", {{"kind", kind}}, count);
}

}  // namespace

QByteArray consoleMetrics(const Console& c, const PlotTap& stabilityPlot) {
  Exposition out;
  out.family("tessarin_up", Type::Gauge, "1 while the console runs.");
  out.count("tessarin_up", {}, 1);
  out.family("tessarin_run_state", Type::Gauge,
             "1 for the state the console is in, 0 for the others (the states of /api/status).");
  const QString current = stateName(c.state());
  for (const QString& state : stateNames())
    out.count("tessarin_run_state", {{"state", state}}, state == current ? 1 : 0);
  runFacts(out, c);
  stability(out, c, stabilityPlot);
  counters(out, c);
  return out.text();
}

}  // namespace tessarin::app::watch
