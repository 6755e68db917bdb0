// What a spectrum costs as the operator asks for it: a one-column file of 1e7 white-FM phase
// values (172 MB) is written to /tmp and read by awk '{s+=$1}', the yardstick of a program that
// only streams the file, and by tessarin-analyze --psd sy (the default segment of 2^21 points,
// 10 bands per decade) and --psd sy --noise-fit, whole processes, the best of three. Prints the
// wall time, the processor time of all threads and the peak resident memory of each.
// Run: ./psd_benchmark [TESSARIN-ANALYZE] (a RelWithDebInfo build, an idle machine).

#include <cstdio>
#include <string>
#include <vector>

#include "ProgramCost.h"

int main(int argc, char** argv) {
  const std::string analyser = argc > 1 ? argv[1] : ANALYZE_EXE;
  const std::string path = writePhaseFile(10000000);
  if (path.empty()) {
    std::fprintf(stderr, "cannot write the phase file in /tmp\n");
    return 1;
  }
  std::printf("%-40s %8s %8s %10s\n", "1e7 points", "wall/s", "cpu/s", "peak/MiB");
  const auto row = [](const char* what, Cost cost) {
    if (cost.succeeded)
      std::printf("%-40s %8.2f %8.2f %10.1f\n", what, cost.seconds, cost.cpuSeconds, cost.peakMiB);
    else
      std::printf("%-40s %8s\n", what, "failed");
  };
  row("awk '{s+=$1}'", bestOf({"awk", "{s+=$1} END{print s}", path}));
  row("tessarin-analyze --psd sy",
      bestOf({analyser, "--phase", "--tau0", "1", "--psd", "sy", path}));
  row("tessarin-analyze --psd sy --noise-fit",
      bestOf({analyser, "--phase", "--tau0", "1", "--psd", "sy", "--noise-fit", path}));
  std::remove(path.c_str());
  return 0;
}
