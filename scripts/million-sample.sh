#!/usr/bin/env bash
# The million-sample run: the console goes through one whole run to its 999999-sample end against
# the simulator at high speed-up, offscreen, then the run is checked from the outside (the
# simulator's log and the data file) and its figures are printed. Takes minutes; not part of the
# tests.
#
#   scripts/million-sample.sh [SPEEDUP]      default 5000 (lines per second the instrument sends)
#
# BUILD_DIR names the build tree (default build/, set up by scripts/setup.sh when missing);
# KEEP=1 keeps the work folder with the log and the data file.
set -euo pipefail
cd "$(dirname "$0")/.."

speedup=${1:-5000}
build=${BUILD_DIR:-build}
[ -f "$build/CMakeCache.txt" ] || ./scripts/setup.sh
cmake --build "$build" --target million_sample_run tessarin-sim

work=$(mktemp -d)
sim_pid=""
cleanup() {
  [ -z "$sim_pid" ] || kill "$sim_pid" 2> /dev/null || true
  if [ "${KEEP:-0}" = 1 ]; then echo "Kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

link="$work/instrument.tty"
log="$work/sim.log"
data="$work/million.DAT"
"$build/sim/tessarin-sim" --link "$link" --dut-hz 10000012.34567 --wfm 1e-11 --wpm 1e-11 \
  --seed 1 --speedup "$speedup" --log "$log" > /dev/null &
sim_pid=$!
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
printf 'Com1=%s\n' "$link" > "$work/serialports.txt"
printf '111' > "$work/globalsetting.txt" # frequency data, Com 1, non-filtered

echo "Running 999999 samples at $speedup lines per second..."
started=$(date +%s.%N)
QT_QPA_PLATFORM=offscreen "$build/tools/million/million_sample_run" "$work" "$data" \
  > "$work/figures.txt"
ended=$(date +%s.%N)
figure() { awk -v key="$1" '$1 == key { $1 = ""; sub(/^ /, ""); print }' "$work/figures.txt"; }

# From the simulator's log: the commands after the run's "TA000003E8" until the console quits.
stops=$(awk '$2 == "<" && $3 == "TA000003E8" { run = 1 } run && $2 == "<" && $3 == "PH00" { n++ }
             END { print n + 0 }' "$log")
dropped=$(grep -c 'dropping output' "$log" || true)
# From the data file: the sample lines after the run's header, and those of the intact form.
read -r lines intact < <(awk 'BEGIN { RS = "\r\n" } /^Data :   / { getline; body = 1; next }
  body { n++; if ($0 ~ /^[ -][0-9]+(\.[0-9]+)?(E[+-][0-9][0-9][0-9]?)? $/) ok++ }
  END { print n + 0, ok + 0 }' "$data")
samples=$(figure samples)

failures=0
check() { # what, ok
  if [ "$2" = 1 ]; then echo "  ok    $1"; else echo "  FAIL  $1"; failures=$((failures + 1)); fi
}
echo "Checks:"
check "\"Sample 999999\" shown once ($(figure limit_messages))" "$([ "$(figure limit_messages)" = 1 ] && echo 1)"
check "\"PH00\" sent once at the end ($stops)" "$([ "$stops" = 1 ] && echo 1)"
check "one data line per accepted sample ($lines lines, $samples samples)" "$([ "$lines" = "$samples" ] && echo 1)"
check "every data line intact ($intact of $lines)" "$([ "$intact" = "$lines" ] && echo 1)"
check "no line lost on the way (simulator drops: $dropped)" "$([ "$dropped" = 0 ] && echo 1)"

at100k=$(figure resident_kb_at_100000)
atEnd=$(figure resident_kb_at_end)
echo "Figures:"
echo "  run (Start to the sample limit)   $(figure run_seconds) s"
echo "  whole program, start to quit      $(awk -v a="$started" -v b="$ended" 'BEGIN { printf "%.1f", b - a }') s"
echo "  lines handled per second          $(figure lines_per_second)"
echo "  processor time per line           $(figure processor_us_per_line) us (console and its redraws)"
echo "  largest gap between two lines     $(figure largest_gap_ms) ms (at sample $(figure largest_gap_at_sample))"
echo "  resident memory at sample 100000  $((at100k / 1024)) MiB"
echo "  resident memory at sample 999999  $((atEnd / 1024)) MiB ($(( (atEnd - at100k) * 1024 / 899999 )) bytes per sample in between)"
echo "  peak resident memory              $(( $(figure peak_resident_kb) / 1024 )) MiB"
echo "  status at the end                 $(figure final_status)"
[ "$failures" = 0 ]
