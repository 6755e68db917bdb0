// What the N-cornered hat costs as the operator asks for it: three pair files of 1e6 points each
// (A-B, B-C, C-A of three simulated white-FM oscillators), written to /tmp as the console's .DAT
// phase runs and as column files, and tessarin-analyze --hat over them (oadev at the octave
// factors with intervals, the default), whole processes, the best of three. Prints the wall time,
// the processor time of all threads and the peak resident memory of each.
// Run: ./hat_benchmark [TESSARIN-ANALYZE] (a RelWithDebInfo build, an idle machine).

#include <QByteArray>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "ProgramCost.h"
#include "run/DataFile.h"

namespace {

using namespace tessarin;

constexpr int kPoints = 1000000;

bool writeFile(const std::string& path, const QByteArray& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, static_cast<std::size_t>(bytes.size()), file) ==
                       static_cast<std::size_t>(bytes.size());
  return std::fclose(file) == 0 && written;
}

// The three pairs' files, as .DAT runs (`dat`) or column files; their paths, empty on failure.
std::vector<std::string> writePairs(bool dat) {
  std::mt19937_64 generator(23);
  std::normal_distribution<double> noise(0, 1e-11);
  double x[3] = {0, 0, 0};
  QByteArray bytes[3];
  run::RunHeader header;
  header.date = "06/12/2026";
  header.time = "09:14:02";
  header.dutHz = 10e6;
  header.tauMs = 1000;
  header.stored = run::Quantity::Phase;
  for (QByteArray& file : bytes) {
    file.reserve(24 * kPoints);
    if (dat) file += run::formatRunHeader(header);
  }
  for (int k = 0; k < kPoints; ++k) {
    for (double& clock : x) clock += noise(generator);
    for (int p = 0; p < 3; ++p) {
      const double pair = x[p] - x[(p + 1) % 3];
      bytes[p] += dat ? run::formatSampleLine(pair) : QByteArray::number(pair, 'g', 17) + '\n';
    }
  }
  std::vector<std::string> paths;
  const char* names[] = {"ab", "bc", "ca"};
  for (int p = 0; p < 3; ++p) {
    paths.push_back(std::string("/tmp/hat-benchmark-") + names[p] + (dat ? ".DAT" : ".txt"));
    if (!writeFile(paths.back(), bytes[p])) return {};
  }
  return paths;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string analyser = argc > 1 ? argv[1] : ANALYZE_EXE;
  std::printf("%-48s %8s %8s %10s\n", "3 pairs of 1e6 points, oadev octave, intervals", "wall/s",
              "cpu/s", "peak/MiB");
  for (const bool dat : {true, false}) {
    const std::vector<std::string> paths = writePairs(dat);
    if (paths.empty()) {
      std::fprintf(stderr, "cannot write the pair files in /tmp\n");
      return 1;
    }
    const std::string hat = "A-B=" + paths[0] + ",B-C=" + paths[1] + ",C-A=" + paths[2];
    std::vector<std::string> command = {analyser, "--hat", hat};
    if (!dat) command.insert(command.end(), {"--phase", "--tau0", "1"});
    const Cost cost = bestOf(command);
    const char* what = dat ? "tessarin-analyze --hat, three .DAT runs"
                           : "tessarin-analyze --hat, three column files";
    if (cost.succeeded)
      std::printf("%-48s %8.2f %8.2f %10.1f\n", what, cost.seconds, cost.cpuSeconds, cost.peakMiB);
    else
      std::printf("%-48s %8s\n", what, "failed");
    for (const std::string& path : paths) std::remove(path.c_str());
  }
  return 0;
}
