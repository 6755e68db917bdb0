#include "cli/OptionTable.h"

#include <algorithm>

namespace tessarin::analyze::cli {

namespace {

constexpr OptionEntry kOptions[] = {
    {"list", "", "", "Input",
     "list the runs of the .DAT file (index, date, time, DUT frequency, tau,\n"
     "mode, data type, samples, gaps) and stop"},
    {"run", "", "K|all", "Input",
     "analyse run K (counted from 1) or every run (default: the last run)"},
    {"join", "", "", "Input",
     "analyse every run of the .DAT file as one series: the start date and\n"
     "time in each run's header and its tau place it on one time line, and\n"
     "the samples missing between runs are gaps; with --list, show the gap\n"
     "before each run in seconds and samples"},
    {"phase", "", "", "Input", "FILE is a column file of phase (time error) values in seconds"},
    {"freq", "", "", "Input", "FILE is a column file of fractional frequency values"},
    {"tau0", "", "S", "Input",
     "the sample interval of a column file, in seconds (needed there),\n"
     "from 1e-9 to 1e9; a .DAT header's tau must lie there too"},
    {"strict", "", "", "Input",
     "stop at the first damaged line (exit 2) instead of taking it as a gap"},
    {"stat", "", "LIST", "Statistics",
     "comma list of adev, console-adev, oadev, mdev, tdev, hdev, ohdev,\n"
     "totdev, mtie, tierms, mtotdev, ttotdev, htotdev, theo1, theobr, theoh\n"
     "(default: oadev). adev is the non-overlapping Allan deviation of NIST\n"
     "SP 1065: floor((N-1)/m)+1 phase points, down to one term;\n"
     "console-adev is the console's own, as its live plot shows it:\n"
     "floor(N/m) points, one term fewer where m does not divide N, and no\n"
     "tau with fewer than three terms.\n"
     "The long-tau family of SP 1065: mtotdev (modified total), ttotdev\n"
     "(time total, in s), htotdev (Hadamard total; ohdev at m = 1), m up\n"
     "to N/3; theo1 and theobr (Theo1 bias-removed after Howe and Tasset)\n"
     "at even m up to N-1 and tau = 0.75 m tau0; theoh, oadev below a tenth\n"
     "of the record and theobr from tau = 0.75 m tau0 >= N tau0/10 on"},
    {"no-bias-correction", "", "", "Statistics",
     "give mtotdev, ttotdev and htotdev as estimated. By default their bias\n"
     "for the noise type found at each tau is removed (SP 1065: MTOT/MVAR\n"
     "0.94 white PM, 0.83 flicker PM, 0.73 white FM, 0.70 flicker FM, 0.69\n"
     "random-walk FM; HTOT/HVAR 1 + a, a = -0.005 white FM, -0.149 flicker\n"
     "FM, -0.229 random-walk FM, for m > 1), as SP 1065 publishes its test\n"
     "values; no noise type found, no correction. theobr and theoh always\n"
     "carry their bias removal (theo1 is their uncorrected form)"},
    {"taus", "", "SET", "Statistics",
     "averaging factors m: octave (1, 2, 4, ...; default), decade (1, 2, 5,\n"
     "10, 20, 50, ...) or all (every m; slow above 100000 samples)"},
    {"m", "", "LIST", "Statistics", "these averaging factors instead, e.g. --m 1,10,100"},
    {"ci", "", "P|none", "Statistics",
     "confidence of the intervals, between 0 and 1 (default: 0.683); none:\n"
     "the values alone, no intervals and no noise identification, which is\n"
     "far quicker over a long series (not with --noise or --report)"},
    {"noise", "", "", "Statistics",
     "add the noise type identified at each tau (alpha: 2 white PM, 1 flicker\n"
     "PM, 0 white FM, -1 flicker FM, -2 random-walk FM; the Hadamard\n"
     "deviations also -3 flicker-walk FM, -4 random-run FM, which the\n"
     "others take as -2); one type per tau for every statistic"},
    {"edf", "", "METHOD", "Statistics",
     "coverage (default): intervals whose measured coverage over simulated\n"
     "power-law noise is the stated one (see docs/analysis.md); reference:\n"
     "the reference program's, Greenhall and Riley's EDF with the phase\n"
     "averaged over tau0, noise types by lag-1 autocorrelation and B1 alone"},
    {"noise-per-statistic", "", "", "Statistics",
     "each statistic its own noise reading (mdev and tdev from block means,\n"
     "the Hadamard family through one more difference); with --edf\n"
     "reference, the console's own error bars"},
    {"outliers", "", "K", "Conditioning",
     "take out as gaps the fractional frequencies (of phase data: the\n"
     "phase's first differences) farther than K times the normalised median\n"
     "absolute deviation (MAD / 0.6745) from the median, K above 0, and tell\n"
     "them; a run with more than 5 % of them is refused (not an outlier\n"
     "problem). Phase data: a run of outlying differences makes the phase\n"
     "samples inside it gaps (a spike: its one sample), a lone one its\n"
     "later sample"},
    {"list-outliers", "", "", "Conditioning",
     "list the outliers of --outliers K per run and stop, taking nothing out:\n"
     "sample (from 0), file line, time (for .DAT runs), value, MADs off the\n"
     "median; with --csv the rows sample,line,time,value,mads"},
    {"find-steps", "", "SIGMAS", "Conditioning",
     "find steps of the mean frequency by binary segmentation: where the\n"
     "means before and after a sample differ by more than SIGMAS standard\n"
     "errors (from the data's own Allan variance at the windows' lengths,\n"
     "so that flicker and random-walk FM are not taken for steps; at least\n"
     "8 samples a side), and tell each with its sample and size"},
    {"remove-steps", "", "", "Conditioning",
     "remove the steps of --find-steps: each segment's mean frequency aligned\n"
     "to the first's"},
    {"remove-drift", "", "[MODEL]", "Conditioning",
     "remove a drift and print it. Alone: a linear frequency drift, by least\n"
     "squares on the phase (the phase model quadratic), printed per day.\n"
     "MODEL for frequency data: linear (y = a + b t), quadratic (y = a + b t\n"
     "+ c t^2), log (y = a ln(b t + 1) + c, a fresh crystal's ageing),\n"
     "diffusion (y = a + b (t + c)^1/2), t in days from the first sample; for\n"
     "phase data: quadratic (as alone), average (the mean frequency from the\n"
     "end points). The fitted curve less its mean is taken out; each fit\n"
     "prints its coefficients with standard uncertainties and the residual\n"
     "rms. log and diffusion: a scan and golden-section search over b or c\n"
     "with least squares for the rest; one that does not converge says so\n"
     "and changes nothing"},
    {"remove-offset", "", "", "Conditioning",
     "remove the mean frequency. The steps run in this order whatever the\n"
     "order of the options: outliers, steps, drift, offset"},
    {"dynamic", "", "W[:S]", "Dynamic stability",
     "the one deviation of --stat (default oadev; not mtie or tierms) over\n"
     "windows of W phase points (W at least 8), one starting every S points\n"
     "(1 to W; default W/10), at the octave factors up to W/4; the rows add\n"
     "start (the window's first point, from 0) and, for a .DAT run or --join,\n"
     "start_time (ISO 8601); no intervals. A window left without terms by\n"
     "gaps has no value there. With --plot: a colour map of log10 of the\n"
     "deviation over window start and tau"},
    {"mask", "", "NAME[,NAME]", "Telecom masks",
     "hold mtie and tdev (the only statistics --stat may then name) to the\n"
     "ITU-T masks of these clock classes, listed below: every row gains the\n"
     "mask, its limit, the margin (limit - value, in s; and limit/value in\n"
     "the table) and the verdict: pass, marginal (the value passes, the upper\n"
     "bound of its interval does not), fail, or not covered (the mask says\n"
     "nothing at that tau; never a pass). A line per run, statistic and mask\n"
     "on standard error sums it up; exit status 3 when any mask is failed.\n"
     "With --dynamic: from which window on the mask is failed"},
    {"psd", "", "QUANTITY", "Spectra",
     "the one-sided spectrum of the phase instead of the deviations: sx\n"
     "(S_x, s^2/Hz), sy (S_y = (2 pi f)^2 S_x, 1/Hz), sphi (S_phi = (2 pi\n"
     "nu0)^2 S_x, rad^2/Hz at the DUT frequency nu0) or lf (L(f) =\n"
     "10 log10(S_phi / 2), dBc/Hz), as NIST SP 1065 and IEEE 1139 define\n"
     "them. Welch's method: segments overlapping by half, a least-squares\n"
     "line removed from each, tapered, density scaling; a segment with a gap\n"
     "is left out. Rows: quantity,f,value,bins,averages,ci_low,ci_high, the\n"
     "interval chi-squared with the segments' and bins' degrees of freedom"},
    {"nominal", "", "HZ", "Spectra",
     "the DUT frequency nu0 for sphi and lf: needed with a column file,\n"
     "instead of the header's with a .DAT file"},
    {"segment", "", "L", "Spectra",
     "points per segment, at least 16 (default: the longest power of two\n"
     "up to 262144 that gives at least 8 averages)"},
    {"window", "", "NAME", "Spectra", "hann (default; periodic) or rect"},
    {"bands", "", "N|raw", "Spectra",
     "average the raw bins into N bands per decade (default 10), or give\n"
     "every raw bin between 0 and the Nyquist frequency 1/(2 tau0)"},
    {"noise-fit", "", "", "Spectra",
     "also the power-law levels h_alpha of S_y(f) = sum h_alpha f^alpha,\n"
     "alpha 2 ... -2, fitted from the spectrum and from oadev and mdev by\n"
     "SP 1065's relations (f_h = 1/(2 tau0)), side by side, each with its\n"
     "interval or not seen; with --csv only they: alpha,noise,h,ci_low,\n"
     "ci_high,from. --plot draws them over the spectrum and, with --stat,\n"
     "the deviations they predict beside those measured"},
    {"hat", "", "A-B=FILE,...", "N-cornered hat",
     "instead of one input file, pair measurements of three or more\n"
     "oscillators (names of letters and digits): each item says which two a\n"
     "file compares (the phase of A minus that of B) and where it is, e.g.\n"
     "--hat A-B=ab.DAT,B-C=bc.DAT,C-A=ca.DAT. Every run of a .DAT file is\n"
     "joined as with --join, the files are placed on one time line by their\n"
     "headers' start times and only the span they share is analysed; column\n"
     "files (--phase or --freq, --tau0) start together. Every pair must share\n"
     "tau and tie in with the others. A triangle is separated by Gray and\n"
     "Allan's three-cornered hat, a star (DUTs against one reference, which\n"
     "gets its own deviation) and any other set by the least-squares\n"
     "N-cornered hat over every pair, those not measured made from the\n"
     "measured ones on the common time line. Rows: oscillator,statistic,tau,\n"
     "m,value,terms,ci_low,ci_high,note; a variance at or below zero has no\n"
     "value, the note \"negative estimate: upper bound only\" and ci_high, its\n"
     "upper bound. The interval is normal on the separated variance, its\n"
     "spread from the pairs' degrees of freedom and their correlation where\n"
     "they share an oscillator (docs/hat.md: its measured coverage, and that\n"
     "of the chi-squared intervals it was chosen over)"},
    {"csv", "", "", "Output",
     "write CSV: statistic,tau,m,value,terms,ci_low,ci_high (then alpha with\n"
     "--noise, then run with --run all over several runs, then\n"
     "mask,limit,margin,verdict with --mask: a row per mask). With several\n"
     "FILEs a first column, source, names each row's file, and its run\n"
     "where the file holds several, instead of the run column"},
    {"plot", "", "FILE", "Output",
     "also draw the results on log-log axes with error bars into FILE, a .png\n"
     "or .pdf picture (needs no display)"},
    {"overlay", "", "NAME:LEVELS", "Output",
     "draw over --plot the Allan deviation of a power-law noise model, e.g.\n"
     "\"xo:h0=1e-22,h-1=3e-25,h-2=2e-30\": the levels h2 to h-2 of S_y(f)\n"
     "(NIST SP 1065's relations; h2 and h1 need the bandwidth fh=HZ), a line\n"
     "named NAME in the legend; may be given several times"},
    {"overlay-points", "", "FILE", "Output",
     "draw over --plot the points of FILE, lines of tau and value (comma or\n"
     "blank between them, # begins a comment), such as a data sheet's\n"
     "figures: a line named by the file; may be given several times"},
    {"report", "", "FILE.pdf", "Output",
     "also write a run report: per run its facts, data plot, stability plot\n"
     "with noise types, table and drift; at the end the version, command\n"
     "line, date and the input's SHA-256. Beside it FILE.json holds the\n"
     "same figures in full precision. With --hat: every pair file's facts,\n"
     "the span they share, the methods, the plot and the table. With several\n"
     "FILEs: first a comparison, the plot of every trace and a table of each\n"
     "value at each tau per trace, then each input's pages"},
    {"verify", "", "FILE.json", "Output",
     "analyse the report's input again with its recorded arguments: exit 0\n"
     "when every figure and the input's SHA-256 agree, else 2, naming each\n"
     "figure that differs and the first input line that changed"},
    {"help", "h", "", "Output", "show this help and exit"},
    {"version", "", "", "Output", "show the version and exit"},
};

}  // namespace

std::span<const OptionEntry> optionTable() { return kOptions; }

const OptionEntry* optionNamed(std::string_view name) {
  const auto found =
      std::find_if(std::begin(kOptions), std::end(kOptions), [name](const OptionEntry& entry) {
        return entry.name == name || (!entry.shortName.empty() && entry.shortName == name);
      });
  return found == std::end(kOptions) ? nullptr : &*found;
}

}  // namespace tessarin::analyze::cli
