#!/usr/bin/env bash
# Makes the pictures of the README's analyser section from generated runs; run it again to
# refresh them:
#   docs/report-page.png  the first page of a run report (--report)
#   docs/dynamic-map.png  a dynamic stability map (--dynamic) of a run whose noise steps up
#   docs/psd.png     the phase noise (--psd lf) of a run with its fitted power-law levels
#                         (--noise-fit) and, beside it, the deviations they predict (--stat)
#   docs/compare.png      three oscillators' runs and a data sheet's figures in one plot
# BUILD names the build folder to take tessarin-analyze from (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD:-build}"

if ! command -v pdftoppm > /dev/null; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends poppler-utils
fi
[ -d "$build" ] || ./scripts/setup.sh
cmake --build "$build" --target tessarin-analyze
analyze="$(realpath "$build")/tools/analyze/tessarin-analyze"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p docs
export QT_QPA_PLATFORM=offscreen

# The run report: a frequency run as the console writes it, 4000 samples at tau 1 s of white FM
# and random-walk FM noise on a slow drift, with one line lost to garbage half-way.
awk -v seed=7 'BEGIN {
  srand(seed)
  printf "\r\n\r\n\r\n\r\n\r\n\r\nosc1.DAT\tDate  07/12/2026\tTime  09:14:02\r\n\r\n"
  printf "DUT Frequency :  10000012.34567 Hz\tTau :  1000.0 ms\r\n\r\n"
  printf "Mode :   Filtered\r\nData :   Frequency Data\r\n\r\n"
  walk = 0
  for (k = 1; k <= 4000; ++k) {
    if (k == 2000) { printf "#%%&garbage\r\n"; continue }
    walk += 4e-14 * gauss()
    y = 2e-9 + 3e-11 * gauss() + walk + 5e-16 * k
    printf "%s%.6E \r\n", (y < 0 ? "-" : " "), (y < 0 ? -y : y)
  }
}
function gauss() { return sqrt(-2 * log(1 - rand())) * cos(6.283185307179586 * rand()) }
' > "$work/osc1.DAT"
(cd "$work" && "$analyze" --stat oadev,mdev --remove-drift --report osc1.pdf osc1.DAT > /dev/null)
pdftoppm -png -r 110 -f 1 -l 1 -singlefile "$work/osc1.pdf" docs/report-page
echo "Written: docs/report-page.png"

# The dynamic map: a phase run of 40000 samples at tau 1 s, white PM and white FM noise on a
# frequency offset, whose white PM steps up tenfold at sample 26000 (16:27:22).
awk -v seed=11 'BEGIN {
  srand(seed)
  printf "\r\n\r\n\r\n\r\n\r\n\r\nosc2.DAT\tDate  07/12/2026\tTime  09:14:02\r\n\r\n"
  printf "DUT Frequency :  10000000.00000 Hz\tTau :  1000.0 ms\r\n\r\n"
  printf "Mode :   Filtered\r\nData :   Phase Data\r\n\r\n"
  walk = 0
  for (k = 0; k < 40000; ++k) {
    walk += 1e-9 + 3e-12 * gauss()
    x = walk + (k < 26000 ? 2e-11 : 2e-10) * gauss()
    printf "%s%.9E \r\n", (x < 0 ? "-" : " "), (x < 0 ? -x : x)
  }
}
function gauss() { return sqrt(-2 * log(1 - rand())) * cos(6.283185307179586 * rand()) }
' > "$work/osc2.DAT"
map="$(pwd)/docs/dynamic-map.png"
(cd "$work" && "$analyze" --dynamic 4000:400 --plot "$map" osc2.DAT > /dev/null)
echo "Written: docs/dynamic-map.png"

# The spectrum: a phase run of 400000 samples at tau 0.1 s of a 10 MHz oscillator, white PM
# (the comparator's floor), white FM and random-walk FM, in segments of 131072 points.
awk -v seed=5 'BEGIN {
  srand(seed)
  printf "\r\n\r\n\r\n\r\n\r\n\r\nosc3.DAT\tDate  07/12/2026\tTime  09:14:02\r\n\r\n"
  printf "DUT Frequency :  10000000.00000 Hz\tTau :  100.0 ms\r\n\r\n"
  printf "Mode :   Filtered\r\nData :   Phase Data\r\n\r\n"
  y = 0; walk = 0
  for (k = 0; k < 400000; ++k) {
    y += 8e-15 * gauss()
    walk += 0.1 * (y + 5e-12 * gauss())
    x = walk + 2e-12 * gauss()
    printf "%s%.9E \r\n", (x < 0 ? "-" : " "), (x < 0 ? -x : x)
  }
}
function gauss() { return sqrt(-2 * log(1 - rand())) * cos(6.283185307179586 * rand()) }
' > "$work/osc3.DAT"
spectrum="$(pwd)/docs/psd.png"
(cd "$work" && "$analyze" --psd lf --segment 131072 --noise-fit --stat oadev,mdev \
  --plot "$spectrum" osc3.DAT > /dev/null)
echo "Written: docs/psd.png"

# The comparison: three 10 MHz oscillators measured a day each at tau 1 s, phase data: a quartz
# (white PM, white FM, flicker FM's floor made of slow random walk), a rubidium (white FM, then
# random-walk FM) and a second quartz a little noisier; beside them the quartz's data sheet.
for osc in "xo-a 2e-12 4e-12 8e-15 1" "rb 8e-12 1e-13 2e-16 2" "xo-b 3e-12 9e-12 8e-14 3"; do
  set -- $osc
  awk -v name="$1" -v wpm="$2" -v wfm="$3" -v rw="$4" -v seed="$5" 'BEGIN {
    srand(seed)
    printf "\r\n\r\n\r\n\r\n\r\n\r\n%s.DAT\tDate  07/12/2026\tTime  09:14:02\r\n\r\n", name
    printf "DUT Frequency :  10000000.00000 Hz\tTau :  1000.0 ms\r\n\r\n"
    printf "Mode :   Filtered\r\nData :   Phase Data\r\n\r\n"
    y = 0; walk = 0
    for (k = 0; k < 86400; ++k) {
      y += rw * gauss()
      walk += y + wfm * gauss()
      x = walk + wpm * gauss()
      printf "%s%.9E \r\n", (x < 0 ? "-" : " "), (x < 0 ? -x : x)
    }
  }
  function gauss() { return sqrt(-2 * log(1 - rand())) * cos(6.283185307179586 * rand()) }
  ' > "$work/$1.DAT"
done
printf '# tau/s  Allan deviation\n1 5e-12\n10 8e-13\n100 2e-13\n1000 1.5e-13\n10000 2e-13\n' \
  > "$work/xo data sheet.txt"
compare="$(pwd)/docs/compare.png"
(cd "$work" && "$analyze" --stat oadev --taus decade --plot "$compare" \
  --overlay-points "xo data sheet.txt" xo-a.DAT rb.DAT xo-b.DAT > /dev/null)
echo "Written: docs/compare.png"
