#include "cli/HelpText.h"

#include <string_view>

#include "analysis/TelecomMasks.h"
#include "cli/OptionTable.h"

namespace tessarin::analyze::cli {

namespace {

constexpr std::string_view kUsage =
    "Usage: tessarin-analyze [OPTION]... FILE...\n"
    "Frequency stability analysis of the runs recorded by the Tessarin / RS console in a .DAT\n"
    "file, or of a plain column file of phase or frequency data from another instrument.\n"
    "Several FILEs are compared: each run analysed is a block of the table, rows of the CSV\n"
    "and a trace of the picture, up to 12 (more with --csv). With --phase or --freq and --tau0,\n"
    "the FILEs whose names end in .DAT are read as .DAT files all the same.\n";

constexpr std::string_view kAfterOptions =
    "Tau is m times the sample interval (0.75 m for theo1, theobr and theoh's theobr range). Each\n"
    "row gives tau, m, the value, the number of terms that went into it and, for the\n"
    "deviations, the confidence interval. A damaged sample line (garbage, a line cut short) is\n"
    "reported on standard error and taken as a gap: every term that touches it is left out. So\n"
    "is a sample beyond 1e100 (s or fractional frequency), where the sums would overflow, and a\n"
    "line longer than 4096 characters. A file of more than 200000000 lines or 4 GiB is refused.\n"
    "Control characters read from a file are shown escaped (\\x1b).\n"
    "\n"
    "With --join the runs must agree in tau, data type, mode and DUT frequency, and follow one\n"
    "another in time. The gaps are placed from the headers' start times, which have whole\n"
    "seconds, rounded to the nearest sample. A header date is read as the console writes it:\n"
    "7 Dec 2026, 2026-12-07, or numbers read day/month/year (07/12/2026, 7/12/26, 07.12.2026).\n"
    "Phase runs keep their recorded values: no phase step is made up across a gap.\n"
    "\n"
    "Spectra (--psd) are one-sided, as NIST SP 1065 and IEEE 1139 have them, and L(f) is\n"
    "S_phi / 2 in dB (IEEE 1139): 3 dB below 10 log10(S_phi) at every frequency.\n"
    "The highest frequency is the Nyquist frequency 1/(2 tau0); docs/analysis.md tells how to\n"
    "check the estimate against the usual signal-processing libraries' Welch.\n"
    "\n"
    "Exit status: 0 on success, 1 for a usage error, 2 for input that cannot be used, 3 when\n"
    "the results fail a mask of --mask (everything is written all the same).\n"
    "\n"
    "Example:\n"
    "  tessarin-analyze --stat oadev,mdev --ci 0.95 --plot osc1.png osc1.DAT\n"
    "  tessarin-analyze --join --dynamic 10000:1000 --csv --plot week.png week.DAT\n"
    "  tessarin-analyze --psd lf --noise-fit --stat oadev --plot osc1-lf.png osc1.DAT\n";

// Where an option's description starts; a longer synopsis stands on a line of its own.
constexpr std::size_t kDescriptionColumn = 21;

// "  --stat LIST        comma list of ...", the description's further lines under its first.
std::string listed(const OptionEntry& option) {
  std::string synopsis = "  ";
  if (!option.shortName.empty()) synopsis += "-" + std::string(option.shortName) + ", ";
  synopsis += "--" + std::string(option.name);
  if (!option.valueName.empty()) synopsis += " " + std::string(option.valueName);
  const std::string indent(kDescriptionColumn, ' ');
  std::string text = synopsis;
  if (synopsis.size() < kDescriptionColumn)
    text += std::string(kDescriptionColumn - synopsis.size(), ' ');
  else
    text += "\n" + indent;
  for (const char c : option.help) text += c == '\n' ? "\n" + indent : std::string(1, c);
  return text + "\n";
}

// The clock classes of --mask, each with the source and range of its MTIE and TDEV masks, from
// the masks' own table.
std::string maskList() {
  const std::string indent(kDescriptionColumn, ' ');
  std::string text;
  for (const std::string_view name : analysis::telecomMaskNames()) {
    std::string line = "    " + std::string(name);
    line += std::string(kDescriptionColumn - line.size(), ' ');
    for (const analysis::TelecomMask& mask : analysis::telecomMasks()) {
      if (mask.name != name) continue;
      if (mask.statistic == stability::Statistic::Mtie)
        text += line + std::string(mask.title) + "\n";
      text += indent + "  " + std::string(stability::nameOf(mask.statistic)) + ": " +
              std::string(mask.recommendation) + ", " + analysis::coveredTaus(mask) + "\n";
    }
  }
  return text;
}

}  // namespace

std::string helpText() {
  std::string text(kUsage);
  std::string_view section;
  for (const OptionEntry& option : optionTable()) {
    if (option.section != section) {
      section = option.section;
      text += "\n" + std::string(section) + ":\n";
    }
    text += listed(option);
    if (option.name == "mask") text += maskList();
  }
  return text + "\n" + std::string(kAfterOptions);
}

std::string versionText() {
  return "tessarin-analyze (Tessarin / RS) " TESSARIN_VERSION
         "\n"
         "Copyright (C) 2026 The Tessarin / RS console developers\n"
         "License GPL-3.0-or-later: GNU GPL version 3 or later "
         "<https://gnu.org/licenses/gpl.html>.\n"
         "This is free software: you are free to change and redistribute it.\n"
         "There is NO WARRANTY, to the extent permitted by law.\n";
}

}  // namespace tessarin::analyze::cli
