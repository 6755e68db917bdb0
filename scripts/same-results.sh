#!/usr/bin/env bash
# Whether two builds of tessarin-analyze give the same results to the last digit: the CSV of every
# statistic at the octave factors, with intervals and noise types, over series of white frequency
# noise, of white phase and white frequency noise with gaps, and of random-walk frequency noise
# with a drift removed, each by the default method, by each statistic's own noise reading and by
# the reference EDF, and of a short series at every factor; the dynamic stability of each
# windowed deviation; the runs of a .DAT file joined, listed and analysed alone; a run report's
# JSON figures; and what --verify says of a report.
# The series are made with awk's random numbers, the same for both programs. Exit 0 when every
# output agrees byte for byte, else 1, naming each that differs.
# Usage: scripts/same-results.sh BEFORE AFTER [POINTS] (POINTS of white frequency noise, 1000000)
set -euo pipefail
before="$(realpath "$1")"
after="$(realpath "$2")"
points="${3:-1000000}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Gaussian values by Box-Muller; `kind` 0 white phase, 1 white frequency, 2 random-walk frequency.
noise() {
  awk -v n="$1" -v kind="$2" -v gapEvery="$3" -v seed="$4" 'BEGIN {
    srand(seed); x = 0; y = 0
    for (k = 0; k < n; ++k) {
      g = sqrt(-2 * log(1 - rand())) * cos(6.283185307179586 * rand()) * 1e-11
      if (kind == 0) x = g
      else if (kind == 1) x += g
      else { y += g * 1e-3; x += y + g }
      if (gapEvery > 0 && k % gapEvery == gapEvery - 1) print "damaged"
      else printf "%.10e\n", x
    }
  }'
}
noise "$points" 1 0 11 > "$work/white-fm.txt"
noise 300000 0 9973 12 > "$work/white-pm-gaps.txt"
noise 200000 2 0 13 > "$work/random-walk-fm.txt"
noise 400000 1 170000 14 > "$work/white-fm-two-gaps.txt"
noise 5000 1 997 15 > "$work/short-white-fm.txt"

statistics=adev,console-adev,oadev,mdev,tdev,hdev,ohdev,totdev,mtie,tierms
differ=0
# same LABEL ARGUMENTS...: both programs' standard output and exit status with these arguments.
same() {
  local label="$1"
  shift
  local status_before=0 status_after=0
  (cd "$work" && "$before" "$@") > "$work/before.out" 2> /dev/null || status_before=$?
  (cd "$work" && "$after" "$@") > "$work/after.out" 2> /dev/null || status_after=$?
  if cmp -s "$work/before.out" "$work/after.out" && [ "$status_before" = "$status_after" ]; then
    echo "same:    $label ($(wc -l < "$work/after.out") lines, exit $status_after)"
  else
    echo "DIFFER:  $label"
    differ=1
  fi
}
compare() {
  local file="$1"
  shift
  same "$file $*" --phase --tau0 1 --stat "$statistics" --noise --csv "$@" "$work/$file"
}
for file in white-fm.txt white-pm-gaps.txt random-walk-fm.txt white-fm-two-gaps.txt; do
  compare "$file"
  compare "$file" --noise-per-statistic
  compare "$file" --edf reference --noise-per-statistic
done
compare random-walk-fm.txt --remove-drift
compare white-pm-gaps.txt --taus decade --ci 0.95
compare short-white-fm.txt --taus all

for statistic in adev oadev mdev tdev hdev ohdev totdev; do
  same "white-pm-gaps.txt --dynamic 20000:5000 --stat $statistic" --phase --tau0 1 \
    --dynamic 20000:5000 --stat "$statistic" --csv white-pm-gaps.txt
done
same "random-walk-fm.txt --dynamic 50000 --remove-drift (table)" --phase --tau0 1 \
  --dynamic 50000 --remove-drift random-walk-fm.txt

# Three phase runs of a .DAT file as the console writes them, 20 and 65 s apart, with a damaged
# line in the second.
dat_run() {  # START_TIME FIRST_SAMPLE COUNT
  printf '\r\n\r\n\r\n\r\n\r\n\r\nosc.DAT\tDate  07/12/2026\tTime  %s\r\n\r\n' "$1"
  printf 'DUT Frequency :  10000000.12346 Hz\tTau :  1000.0 ms\r\n\r\n'
  printf 'Mode :   Filtered\r\nData :   Phase Data\r\n\r\n'
  sed -n "$2,$(($2 + $3 - 1))p" "$work/random-walk-fm.txt" | awk '{ printf " %s \r\n", $1 }'
}
{
  dat_run 09:00:00 1 3000
  dat_run 09:50:20 3001 2000 | sed '300s/.*/ 1.2E-0/'
  dat_run 10:24:45 5001 4000
} > "$work/runs.DAT"
same "runs.DAT --join" --join --stat "$statistics" --noise --csv runs.DAT
same "runs.DAT --join --list" --join --list runs.DAT
same "runs.DAT --run all" --run all --stat oadev,mdev,totdev --csv runs.DAT
same "runs.DAT --join --dynamic 2000:500" --join --dynamic 2000:500 --csv runs.DAT

# A report's figures (its JSON record less the time it was made and the program's checksum), and
# --verify of each program's own report.
for program in before after; do
  (cd "$work" && "${!program}" --join --stat oadev,mdev,mtie --report report.pdf runs.DAT) \
    > /dev/null 2>&1 || true
  grep -v -E '"(analysedAt|build)"' "$work/report.json" > "$work/report-$program.json" || true
  (cd "$work" && "${!program}" --verify report.json) > "$work/verify-$program.out" 2>&1 || true
done
if cmp -s "$work/report-before.json" "$work/report-after.json" &&
   cmp -s "$work/verify-before.out" "$work/verify-after.out"; then
  echo "same:    runs.DAT --report, --verify ($(wc -l < "$work/report-after.json") JSON lines)"
else
  echo "DIFFER:  runs.DAT --report, --verify"
  differ=1
fi
exit "$differ"
