#!/usr/bin/env bash
# Whether two builds of tessarin-analyze give the same results to the last digit: the CSV of every
# statistic at the octave factors, with intervals and noise types, over series of white frequency
# noise, of white phase and white frequency noise with gaps, and of random-walk frequency noise with a drift removed,
# each by the default method, by each statistic's own noise reading and by the reference EDF, and
# of a short series at every factor.
# The series are made with awk's random numbers, the same for both programs. Exit 0 when every
# output agrees byte for byte, else 1, naming each that differs.
# Usage: scripts/same-results.sh BEFORE AFTER [POINTS] (POINTS of white frequency noise, 1000000)
set -euo pipefail
before="$1"
after="$2"
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
compare() {
  local file="$1"
  shift
  "$before" --phase --tau0 1 --stat "$statistics" --noise --csv "$@" "$work/$file" \
    > "$work/before.csv" 2> /dev/null
  "$after" --phase --tau0 1 --stat "$statistics" --noise --csv "$@" "$work/$file" \
    > "$work/after.csv" 2> /dev/null
  if cmp -s "$work/before.csv" "$work/after.csv"; then
    echo "same:    $file $* ($(wc -l < "$work/after.csv") lines)"
  else
    echo "DIFFER:  $file $*"
    differ=1
  fi
}
for file in white-fm.txt white-pm-gaps.txt random-walk-fm.txt white-fm-two-gaps.txt; do
  compare "$file"
  compare "$file" --noise-per-statistic
  compare "$file" --edf reference --noise-per-statistic
done
compare random-walk-fm.txt --remove-drift
compare white-pm-gaps.txt --taus decade --ci 0.95
compare short-white-fm.txt --taus all
exit "$differ"
