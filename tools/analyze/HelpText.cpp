#include "HelpText.h"

namespace tessarin::analyze {

const char* const kHelpText =
    "Usage: tessarin-analyze [OPTION]... FILE\n"
    "Frequency stability analysis of the runs recorded by the Tessarin / RS console in a .DAT\n"
    "file, or of a plain column file of phase or frequency data from another instrument.\n"
    "\n"
    "Input:\n"
    "  --list             list the runs of the .DAT file (index, date, time, DUT frequency, tau,\n"
    "                     mode, data type, samples, gaps) and stop\n"
    "  --run K|all        analyse run K (counted from 1) or every run (default: the last run)\n"
    "  --phase            FILE is a column file of phase (time error) values in seconds\n"
    "  --freq             FILE is a column file of fractional frequency values\n"
    "  --tau0 S           the sample interval of a column file, in seconds (needed there)\n"
    "  --strict           stop at the first damaged line (exit 2) instead of taking it as a gap\n"
    "\n"
    "Statistics:\n"
    "  --stat LIST        comma list of adev (the console's own non-overlapping Allan deviation),\n"
    "                     oadev, mdev, tdev, hdev, ohdev, totdev, mtie, tierms (default: oadev)\n"
    "  --taus SET         averaging factors m: octave (1, 2, 4, ...; default), decade (1, 2, 5,\n"
    "                     10, 20, 50, ...) or all (every m; slow above 100000 samples)\n"
    "  --m LIST           these averaging factors instead, e.g. --m 1,10,100\n"
    "  --ci P             confidence of the intervals, between 0 and 1 (default: 0.683)\n"
    "  --noise            add the noise type identified at each tau (alpha: 2 white PM, 1 flicker\n"
    "                     PM, 0 white FM, -1 flicker FM, -2 random-walk FM)\n"
    "  --remove-drift     remove a linear frequency drift (least squares on the phase) and print\n"
    "                     it, per day\n"
    "  --remove-offset    remove the mean frequency\n"
    "\n"
    "Output:\n"
    "  --csv              write CSV: statistic,tau,m,value,terms,ci_low,ci_high (then alpha with\n"
    "                     --noise, then run with --run all over several runs)\n"
    "  --plot FILE        also draw the results on log-log axes with error bars into FILE, a .png\n"
    "                     or .pdf picture (needs no display)\n"
    "  -h, --help         show this help and exit\n"
    "  --version          show the version and exit\n"
    "\n"
    "Tau is m times the sample interval. Each row gives tau, m, the value, the number of terms\n"
    "that went into it and, for the deviations, the confidence interval. A damaged sample line\n"
    "(garbage, a line cut short) is reported on standard error and taken as a gap: every term\n"
    "that touches it is left out.\n"
    "\n"
    "Exit status: 0 on success, 1 for a usage error, 2 for input that cannot be used.\n"
    "\n"
    "Example:\n"
    "  tessarin-analyze --stat oadev,mdev --ci 0.95 --plot osc1.png osc1.DAT\n";

std::string versionText() {
  return "tessarin-analyze (Tessarin / RS) " TESSARIN_VERSION
         "\n"
         "Copyright (C) 2026 The Tessarin / RS console developers\n"
         "License GPL-3.0-or-later: GNU GPL version 3 or later "
         "<https://gnu.org/licenses/gpl.html>.\n"
         "This is free software: you are free to change and redistribute it.\n"
         "There is NO WARRANTY, to the extent permitted by law.\n";
}

}  // namespace tessarin::analyze
