#include "output/HatTable.h"

#include "output/ExactNumber.h"
#include "output/PrintedNumber.h"

namespace tessarin::analyze::output {

namespace {

std::string optionalExact(const std::optional<double>& value) {
  return value ? exact(*value) : std::string();
}

std::string optionalScientific(const std::optional<double>& value) {
  return value ? scientific(*value) : std::string("-");
}

const std::string& oscillatorOf(const analysis::CorneredHat& hat, const analysis::HatCurve& curve) {
  return hat.topology.oscillators[static_cast<std::size_t>(curve.oscillator)];
}

}  // namespace

std::string spanText(const std::vector<HatPairFacts>& pairs, std::int64_t points, double tau0) {
  std::string text =
      printed("%lld phase points of %g s shared", static_cast<long long>(points), tau0);
  for (const HatPairFacts& pair : pairs)
    if (pair.skippedBefore > 0)
      text += printed(", %s from its sample %lld on", pair.pair.c_str(),
                      static_cast<long long>(pair.skippedBefore));
  return text;
}

std::string intervalText(const analysis::CorneredHat& hat, bool valuesOnly) {
  if (valuesOnly) return "none (--ci none)";
  return std::string(analysis::methodOf(hat.intervals));
}

void writeHatCsv(std::ostream& out, const analysis::CorneredHat& hat) {
  out << "oscillator,statistic,tau,m,value,terms,ci_low,ci_high,note\n";
  for (const analysis::HatCurve& curve : hat.curves)
    for (const analysis::HatRow& row : curve.rows)
      out << oscillatorOf(hat, curve) << ',' << stability::nameOf(curve.statistic) << ','
          << exact(row.tau) << ',' << row.factor << ',' << optionalExact(row.value) << ','
          << row.terms << ',' << optionalExact(row.ciLow) << ',' << optionalExact(row.ciHigh) << ','
          << row.note << '\n';
}

void writeHatTable(std::ostream& out, const analysis::CorneredHat& hat,
                   const std::vector<HatPairFacts>& pairs, std::int64_t sharedPoints,
                   bool valuesOnly) {
  for (const HatPairFacts& pair : pairs) {
    out << "# " << pair.pair << ": " << pair.path;
    if (!pair.start.empty()) out << ", " << pair.start;
    if (pair.runs > 1) out << ", " << pair.runs << " runs joined";
    out << ", " << pair.samples << " phase points\n";
  }
  out << "# " << spanText(pairs, sharedPoints, hat.tau0) << "\n# "
      << analysis::nameOf(hat.topology.layout) << " of " << hat.topology.oscillators.size()
      << " oscillators: " << analysis::methodOf(hat.topology.layout)
      << "\n# intervals: " << intervalText(hat, valuesOnly) << '\n';
  out << printed("%-10s %-9s %12s %8s %14s %10s %14s %14s  %s\n", "oscillator", "statistic",
                 "tau/s", "m", "value", "terms", "ci_low", "ci_high", "note");
  for (const analysis::HatCurve& curve : hat.curves) {
    const std::string name(stability::nameOf(curve.statistic));
    for (const analysis::HatRow& row : curve.rows)
      out << printed("%-10s %-9s %12.6g %8d %14s %10lld %14s %14s",
                     oscillatorOf(hat, curve).c_str(), name.c_str(), row.tau, row.factor,
                     optionalScientific(row.value).c_str(), static_cast<long long>(row.terms),
                     optionalScientific(row.ciLow).c_str(), optionalScientific(row.ciHigh).c_str())
          << (row.note.empty() ? "" : "  " + row.note) << '\n';
  }
}

}  // namespace tessarin::analyze::output
