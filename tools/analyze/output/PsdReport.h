#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "output/Report.h"

namespace tessarin::analyze::output {

// "S_y(f), 1/Hz" and the like: the quantity and its unit, as headings and axes name them.
std::string spectrumTitle(analysis::SpectralQuantity quantity);

// How the spectrum was made, in one line: "Welch: segments of 4096 points (Hann, half overlap,
// line removed), 14 averages, 0 segments left out for gaps, 10 bands per decade".
std::string spectrumMethod(const analysis::SpectrumAnalysis& spectrum);

// CSV of the spectra of `runs` (those that have one): "quantity,f,value,bins,averages,ci_low,
// ci_high", then a "run" column with more than one run. Empty fields where there is no interval.
void writeSpectrumCsv(std::ostream& out, const std::vector<AnalysedRun>& runs);

// CSV of the power-law levels: "alpha,noise,h,ci_low,ci_high,from" (then "run"), each alpha from
// the spectrum and then from the deviations; a level not seen has its number fields empty.
void writeLevelsCsv(std::ostream& out, const std::vector<AnalysedRun>& runs);

// The aligned text report: per run its heading, how the spectrum was made and its rows, and with
// levels fitted, the two fits side by side per alpha ("not seen" where a noise dominates nowhere).
void writeSpectrumTable(std::ostream& out, const records::InputFile& file,
                        const std::vector<AnalysedRun>& runs);

}  // namespace tessarin::analyze::output
