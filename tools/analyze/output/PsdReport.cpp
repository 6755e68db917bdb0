#include "output/PsdReport.h"

#include <cmath>
#include <cstdio>

#include "output/ConditioningNotes.h"
#include "output/ExactNumber.h"
#include "output/PrintedNumber.h"
#include "stability/NoiseIdentification.h"

namespace tessarin::analyze::output {

namespace {

// L(f) in dB reads better in fixed point.
std::string valueText(const analysis::SpectrumAnalysis& spectrum, double value) {
  if (std::isnan(value)) return "-";
  return spectrum.quantity == analysis::SpectralQuantity::PhaseNoise ? printed("%.2f", value)
                                                                     : scientific(value);
}

// The levels of one alpha: from the spectrum, then from the deviations.
std::vector<std::pair<const analysis::NoiseLevel*, const analysis::NoiseLevel*>> levelPairs(
    const analysis::SpectrumAnalysis& spectrum) {
  std::vector<std::pair<const analysis::NoiseLevel*, const analysis::NoiseLevel*>> pairs;
  const std::size_t half = spectrum.levels.size() / 2;
  for (std::size_t k = 0; k < half; ++k)
    pairs.emplace_back(&spectrum.levels[k], &spectrum.levels[half + k]);
  return pairs;
}

}  // namespace

std::string spectrumTitle(analysis::SpectralQuantity quantity) {
  switch (quantity) {
    case analysis::SpectralQuantity::PhaseTime:
      return "S_x(f), s^2/Hz";
    case analysis::SpectralQuantity::Frequency:
      return "S_y(f), 1/Hz";
    case analysis::SpectralQuantity::PhaseAngle:
      return "S_phi(f), rad^2/Hz";
    default:
      return "L(f), dBc/Hz";
  }
}

std::string spectrumMethod(const analysis::SpectrumAnalysis& spectrum) {
  const analysis::WelchSpectrum& welch = spectrum.welch;
  std::string text = printed(
      "Welch: segments of %d points (%s, half overlap, line removed), %lld averages, %lld "
      "segments left out for gaps, ",
      welch.segment, welch.window == analysis::SpectralWindow::Hann ? "Hann" : "no taper",
      static_cast<long long>(welch.averages), static_cast<long long>(welch.leftOut));
  text += spectrum.bandsPerDecade > 0 ? printed("%d bands per decade", spectrum.bandsPerDecade)
                                      : std::string("raw bins");
  if (spectrum.nominalHz && analysis::needsNominal(spectrum.quantity))
    text += printed(", nu0 %.15g Hz", *spectrum.nominalHz);
  return text;
}

void writeSpectrumCsv(std::ostream& out, const std::vector<AnalysedRun>& runs) {
  const bool runColumn = runs.size() > 1;
  out << "quantity,f,value,bins,averages,ci_low,ci_high" << (runColumn ? ",run" : "") << '\n';
  for (const AnalysedRun& analysed : runs) {
    if (!analysed.spectrum) continue;
    const analysis::SpectrumAnalysis& spectrum = *analysed.spectrum;
    for (const analysis::SpectrumPoint& point : spectrum.points) {
      out << analysis::nameOf(spectrum.quantity) << ',' << exact(point.frequency) << ','
          << exact(point.value) << ',' << point.bins << ',' << spectrum.welch.averages << ','
          << exact(point.low) << ',' << exact(point.high);
      if (runColumn) out << ',' << analysed.index;
      out << '\n';
    }
  }
}

void writeLevelsCsv(std::ostream& out, const std::vector<AnalysedRun>& runs) {
  const bool runColumn = runs.size() > 1;
  out << "alpha,noise,h,ci_low,ci_high,from" << (runColumn ? ",run" : "") << '\n';
  for (const AnalysedRun& analysed : runs) {
    if (!analysed.spectrum) continue;
    for (const auto& [fromSpectrum, fromDeviations] : levelPairs(*analysed.spectrum)) {
      for (const analysis::NoiseLevel* level : {fromSpectrum, fromDeviations}) {
        out << level->alpha << ',' << stability::noiseName(level->alpha) << ',' << exact(level->h)
            << ',' << exact(level->low) << ',' << exact(level->high) << ',' << level->from;
        if (runColumn) out << ',' << analysed.index;
        out << '\n';
      }
    }
  }
}

void writeSpectrumTable(std::ostream& out, const records::InputFile& file,
                        const std::vector<AnalysedRun>& runs) {
  bool first = true;
  for (const AnalysedRun& analysed : runs) {
    if (!analysed.spectrum) continue;
    const analysis::SpectrumAnalysis& spectrum = *analysed.spectrum;
    if (!first) out << '\n';
    first = false;
    writeRunHeading(out, file, analysed);
    for (const std::string& note : conditioningNotes(spectrum.conditioning))
      out << "# " << note << '\n';
    out << "# " << spectrumTitle(spectrum.quantity) << ", one-sided; " << spectrumMethod(spectrum)
        << '\n';
    out << printed("%-8s %12s %14s %8s %9s %14s %14s\n", "quantity", "f/Hz", "value", "bins",
                   "averages", "ci_low", "ci_high");
    const std::string name(analysis::nameOf(spectrum.quantity));
    for (const analysis::SpectrumPoint& point : spectrum.points)
      out << printed("%-8s %12.6g %14s %8lld %9lld %14s %14s\n", name.c_str(), point.frequency,
                     valueText(spectrum, point.value).c_str(), static_cast<long long>(point.bins),
                     static_cast<long long>(spectrum.welch.averages),
                     valueText(spectrum, point.low).c_str(),
                     valueText(spectrum, point.high).c_str());
    if (spectrum.levels.empty()) continue;
    out << "\n# power-law levels of S_y(f) = sum h_alpha f^alpha, f_h = 1/(2 tau0) = "
        << printed("%g", 1 / (2 * spectrum.welch.tau0)) << " Hz\n";
    out << printed("%5s  %-15s %14s %14s %14s  %-6s %14s %14s %14s\n", "alpha", "noise", "h (psd)",
                   "ci_low", "ci_high", "from", "h", "ci_low", "ci_high");
    for (const auto& [fromSpectrum, fromDeviations] : levelPairs(spectrum)) {
      out << printed("%5d  %-15s", fromSpectrum->alpha, stability::noiseName(fromSpectrum->alpha));
      for (const analysis::NoiseLevel* level : {fromSpectrum, fromDeviations}) {
        if (level == fromDeviations) out << printed("  %-6s", level->from.c_str());
        if (std::isnan(level->h))
          out << printed(" %14s %14s %14s", "not seen", "", "");
        else
          out << printed(" %14s %14s %14s", scientific(level->h).c_str(),
                         scientific(level->low).c_str(), scientific(level->high).c_str());
      }
      out << '\n';
    }
  }
}

}  // namespace tessarin::analyze::output
