#include "output/Report.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "output/ConditioningNotes.h"
#include "output/ExactNumber.h"
#include "output/PrintedNumber.h"
#include "stability/NoiseIdentification.h"

namespace tessarin::analyze::output {

namespace {

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

// A row of a statistic's curve: once as it is, or once per mask the curve is held to.
template <typename WriteRow>
void forEachMaskOf(const AnalysedRun& analysed, stability::Statistic statistic, bool masked,
                   const WriteRow& write) {
  if (!masked) {
    write(nullptr);
    return;
  }
  for (const analysis::CurveAgainstMask* curve : masksOf(analysed, statistic)) write(curve);
}

// A field of CSV as RFC 4180 has it: in quotes, its quotes doubled, where it holds a separator.
std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + '"';
}

}  // namespace

std::vector<const analysis::CurveAgainstMask*> masksOf(const AnalysedRun& analysed,
                                                       stability::Statistic statistic) {
  std::vector<const analysis::CurveAgainstMask*> curves;
  for (const analysis::CurveAgainstMask& curve : analysed.masks)
    if (curve.mask->statistic == statistic) curves.push_back(&curve);
  return curves;
}

std::string quantityName(const records::RecordedRun& run) {
  if (!run.quantity) return "?";
  return *run.quantity == run::Quantity::Phase ? "phase" : "frequency";
}

namespace {

std::string orUnknown(const std::string& text) { return text.empty() ? "?" : text; }

}  // namespace

std::int64_t gapCount(const records::RecordedRun& run) {
  std::int64_t gaps = 0;
  for (const double sample : run.samples) gaps += std::isnan(sample);
  return gaps;
}

std::string runLabel(const AnalysedRun& analysed) {
  if (analysed.joined == 0) return "run " + std::to_string(analysed.index);
  return std::to_string(analysed.joined) + (analysed.joined == 1 ? " run joined" : " runs joined");
}

void writeRunList(std::ostream& out, const records::InputFile& file,
                  const std::vector<analysis::RunGap>& gapBefore) {
  const bool gapColumns = !gapBefore.empty();
  out << printed("%4s  %-10s  %-8s  %18s  %9s  %-12s  %-9s  %9s  %7s", "run", "date", "time",
                 "DUT frequency/Hz", "tau/s", "mode", "data", "samples", "gaps");
  if (gapColumns) out << printed("  %12s  %11s", "gap before/s", "gap samples");
  out << '\n';
  int index = 0;
  for (const records::RecordedRun& run : file.runs) {
    const std::string dut = run.dutHz ? printed("%.15g", *run.dutHz) : "?";
    const std::string tau = run.tauSeconds ? printed("%g", *run.tauSeconds) : "?";
    out << printed("%4d  %-10s  %-8s  %18s  %9s  %-12s  %-9s  %9lld  %7lld", ++index,
                   orUnknown(run.date).c_str(), orUnknown(run.time).c_str(), dut.c_str(),
                   tau.c_str(), orUnknown(run.mode).c_str(), quantityName(run).c_str(),
                   static_cast<long long>(run.samples.size()),
                   static_cast<long long>(gapCount(run)));
    if (gapColumns && index == 1) {
      out << printed("  %12s  %11s", "-", "-");
    } else if (gapColumns) {
      const analysis::RunGap& gap = gapBefore[static_cast<std::size_t>(index - 1)];
      out << printed("  %12g  %11lld", gap.seconds, static_cast<long long>(gap.samples));
    }
    out << '\n';
  }
}

void writeRunHeading(std::ostream& out, const records::InputFile& file,
                     const AnalysedRun& analysed) {
  const records::RecordedRun& run = *analysed.run;
  out << "# " << file.path << ", " << runLabel(analysed);
  if (analysed.joined == 0) out << " of " << file.runs.size();
  if (!run.date.empty() || !run.time.empty()) out << ": " << run.date << ' ' << run.time;
  if (run.dutHz) out << ", DUT " << printed("%.15g", *run.dutHz) << " Hz";
  out << ", tau0 " << printed("%g", analysed.analysis.tau0) << " s, " << quantityName(run)
      << " data, " << run.samples.size() << " samples, " << gapCount(run)
      << (gapCount(run) == 1 ? " gap\n" : " gaps\n");
}

void writeTable(std::ostream& out, const records::InputFile& file,
                std::span<const AnalysedRun> runs, bool noise, bool masked) {
  bool first = true;
  for (const AnalysedRun& analysed : runs) {
    if (!first) out << '\n';
    first = false;
    writeRunHeading(out, file, analysed);
    for (const std::string& note : conditioningNotes(analysed.analysis.conditioning))
      out << "# " << note << '\n';
    if (analysed.analysis.driftPerDay)
      out << "# linear frequency drift " << printed("%.6e", *analysed.analysis.driftPerDay)
          << " /day, removed\n";
    if (analysed.analysis.meanFrequency)
      out << "# mean fractional frequency " << printed("%.6e", *analysed.analysis.meanFrequency)
          << ", removed\n";
    out << printed("%-9s %12s %8s %14s %10s %14s %14s", "statistic", "tau/s", "m", "value", "terms",
                   "ci_low", "ci_high");
    if (noise) out << "  noise";
    if (masked)
      out << printed("  %-6s %14s %14s %11s  %s", "mask", "limit", "margin", "limit/value",
                     "verdict");
    out << '\n';
    for (const analysis::StatisticRows& statistic : analysed.analysis.statistics) {
      const std::string name(stability::nameOf(statistic.statistic));
      forEachMaskOf(
          analysed, statistic.statistic, masked, [&](const analysis::CurveAgainstMask* curve) {
            for (std::size_t i = 0; i < statistic.rows.size(); ++i) {
              const stability::AnalysisRow& row = statistic.rows[i];
              const stability::Estimate& e = row.estimate;
              out << printed("%-9s %12.6g %8d ", name.c_str(), e.tau, e.factor)
                  << printed("%14s %10lld ", scientific(e.value).c_str(),
                             static_cast<long long>(e.terms))
                  << printed("%14s %14s", scientific(row.interval.low).c_str(),
                             scientific(row.interval.high).c_str());
              if (noise)
                out << "  "
                    << (row.alpha
                            ? std::to_string(*row.alpha) + " " + stability::noiseName(*row.alpha)
                            : std::string("-"));
              if (curve) {
                const analysis::MaskPoint& p = curve->points[i];
                out << printed("  %-6s %14s %14s %11s  %s", std::string(curve->mask->name).c_str(),
                               scientific(p.limit.value_or(kNoValue)).c_str(),
                               scientific(p.margin).c_str(),
                               std::isnan(p.ratio) ? "-" : printed("%.3g", p.ratio).c_str(),
                               std::string(analysis::verdictWord(p.verdict)).c_str());
              }
              out << '\n';
            }
          });
    }
  }
}

void writeCsv(std::ostream& out, const std::vector<AnalysedRun>& runs, bool noise, bool masked) {
  const bool sourceColumn = !runs.empty() && !runs.front().source.empty();
  const bool runColumn = runs.size() > 1 && !sourceColumn;
  out << (sourceColumn ? "source," : "") << "statistic,tau,m,value,terms,ci_low,ci_high"
      << (noise ? ",alpha" : "") << (runColumn ? ",run" : "")
      << (masked ? ",mask,limit,margin,verdict" : "") << '\n';
  for (const AnalysedRun& analysed : runs) {
    for (const analysis::StatisticRows& statistic : analysed.analysis.statistics) {
      forEachMaskOf(
          analysed, statistic.statistic, masked, [&](const analysis::CurveAgainstMask* curve) {
            for (std::size_t i = 0; i < statistic.rows.size(); ++i) {
              const stability::AnalysisRow& row = statistic.rows[i];
              const stability::Estimate& e = row.estimate;
              if (sourceColumn) out << csvField(analysed.source) << ',';
              out << stability::nameOf(statistic.statistic) << ',' << exact(e.tau) << ','
                  << e.factor << ',' << exact(e.value) << ',' << e.terms << ','
                  << exact(row.interval.low) << ',' << exact(row.interval.high);
              if (noise) out << ',' << (row.alpha ? std::to_string(*row.alpha) : std::string());
              if (runColumn) out << ',' << analysed.index;
              if (curve) {
                const analysis::MaskPoint& p = curve->points[i];
                out << ',' << curve->mask->name << ',' << exact(p.limit.value_or(kNoValue)) << ','
                    << exact(p.margin) << ',' << analysis::verdictWord(p.verdict);
              }
              out << '\n';
            }
          });
    }
  }
}

}  // namespace tessarin::analyze::output
