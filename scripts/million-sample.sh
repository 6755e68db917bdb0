#!/usr/bin/env bash
# The million-sample run: the console goes through one whole run to its 999999-sample end against
# the simulator at high speed-up, offscreen, then the run is checked from the outside (the
# simulator's log and the data file) and its figures are printed. Takes minutes; not part of the
# tests.
#
#   scripts/million-sample.sh [SPEEDUP]      default 5000 (lines per second the instrument sends)
#
# BUILD_DIR names the build tree (default build/, set up by scripts/setup.sh when missing);
# KEEP=1 keeps the work folder with the log and the data file. CLIENTS=N (default 0) serves the
# run's page on 127.0.0.1 and has N page clients follow it, each a process of its own fetching
# the status, stability, data and events once a second as the page does while a run moves on;
# the run must then pass its checks all the same, and every client request must be answered.
# SCRAPERS=N (default 0) serves it too and has N scrapers read its /metrics once a second, as a
# lab's Prometheus does; every scrape must be answered with the exposition.
set -euo pipefail
cd "$(dirname "$0")/.."

speedup=${1:-5000}
build=${BUILD_DIR:-build}
clients=${CLIENTS:-0}
scrapers=${SCRAPERS:-0}
[ -f "$build/CMakeCache.txt" ] || ./scripts/setup.sh
cmake --build "$build" --target million_sample_run tessarin-sim

work=$(mktemp -d)
sim_pid=""
console_pid=""
client_pids=()
cleanup() {
  touch "$work/stop"
  for pid in $sim_pid $console_pid "${client_pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  wait 2> /dev/null || true
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

# One page client: the four requests of a page's refresh on one connection, once a second, each
# answer's HTTP status, seconds taken and content type appended to its own file, until the run
# has ended.
follow_page() { # URL, answers file
  local urls=("${1}api/status" "${1}api/stability" "${1}api/data?max=2000" "${1}api/events")
  until [ -e "$work/stop" ]; do
    curl -s --max-time 10 -w '%{http_code} %{time_total} %{content_type}\n' \
      -o /dev/null -o /dev/null -o /dev/null -o /dev/null "${urls[@]}" >> "$2" || true
    sleep 1
  done
}

# One scraper: /metrics once a second, its HTTP status, seconds taken and content type appended to
# its own file, until the run has ended.
scrape_metrics() { # URL, answers file
  until [ -e "$work/stop" ]; do
    curl -s --max-time 10 -w '%{http_code} %{time_total} %{content_type}\n' -o /dev/null \
      "${1}metrics" >> "$2" || true
    sleep 1
  done
}

echo "Running 999999 samples at $speedup lines per second$([ "$clients" = 0 ] || echo ", $clients page clients following")$([ "$scrapers" = 0 ] || echo ", $scrapers scrapers")..."
started=$(date +%s.%N)
serve=()
[ "$clients" = 0 ] && [ "$scrapers" = 0 ] || serve=(--serve)
QT_QPA_PLATFORM=offscreen "$build/tools/million/million_sample_run" "$work" "$data" "${serve[@]}" \
  > "$work/figures.txt" &
console_pid=$!
figure() { awk -v key="$1" '$1 == key { $1 = ""; sub(/^ /, ""); print }' "$work/figures.txt"; }
if [ "${#serve[@]}" != 0 ]; then
  for _ in $(seq 100); do [ -n "$(figure served_at)" ] && break; sleep 0.1; done
  url=$(figure served_at)
  [ -n "$url" ] || { echo "The console did not serve its page" >&2; exit 1; }
  for i in $(seq "$clients"); do
    follow_page "$url" "$work/client$i.answers" &
    client_pids+=($!)
  done
  for i in $(seq "$scrapers"); do
    scrape_metrics "$url" "$work/scraper$i.answers" &
    client_pids+=($!)
  done
  # The clients stop once the run has reached its end, before the console quits.
  while kill -0 "$console_pid" 2> /dev/null && ! grep -q '^run_ended$' "$work/figures.txt"; do
    sleep 0.2
  done
  touch "$work/stop"
  [ "${#client_pids[@]}" = 0 ] || wait "${client_pids[@]}"
fi
console_status=0
wait "$console_pid" || console_status=$?
console_pid=""
ended=$(date +%s.%N)
[ "$console_status" = 0 ] || echo "The console ended with status $console_status" >&2

# From the simulator's log: the commands after the run's "TA000003E8" until the console quits.
stops=$(awk '$2 == "<" && $3 == "TA000003E8" { run = 1 } run && $2 == "<" && $3 == "PH00" { n++ }
             END { print n + 0 }' "$log")
dropped=$(grep -c 'dropping output' "$log" || true)
# From the data file: the sample lines after the run's header, and those of the intact form.
read -r lines intact < <(awk 'BEGIN { RS = "\r\n" } /^Data :   / { getline; body = 1; next }
  body { n++; if ($0 ~ /^[ -][0-9]+(\.[0-9]+)?(E[+-][0-9][0-9][0-9]?)? $/) ok++ }
  END { print n + 0, ok + 0 }' "$data")
samples=$(figure samples)
answered=0
failed=0
if [ "$clients" != 0 ]; then
  cat "$work"/client*.answers > "$work/answers"
  read -r answered failed < <(awk '$1 == 200 && $3 ~ /^application\/json/ { ok++; next } { bad++ }
                                   END { print ok + 0, bad + 0 }' "$work/answers")
  # Milliseconds a client waited for an answer: the median and the longest.
  read -r answer_median answer_max < <(awk '{ print $2 * 1000 }' "$work/answers" | sort -n |
    awk '{ t[NR] = $1 } END { printf "%.1f %.1f\n", t[int((NR + 1) / 2)], t[NR] }')
fi

scraped=0
scrape_failed=0
if [ "$scrapers" != 0 ]; then
  cat "$work"/scraper*.answers > "$work/scrapes"
  read -r scraped scrape_failed < <(awk '$1 == 200 && $3 ~ /^text\/plain;/ { ok++; next } { bad++ }
                                         END { print ok + 0, bad + 0 }' "$work/scrapes")
  read -r scrape_median scrape_max < <(awk '{ print $2 * 1000 }' "$work/scrapes" | sort -n |
    awk '{ t[NR] = $1 } END { printf "%.1f %.1f\n", t[int((NR + 1) / 2)], t[NR] }')
fi

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
check "the console ended well (status $console_status)" "$([ "$console_status" = 0 ] && echo 1)"
if [ "$clients" != 0 ]; then
  check "every page client request answered ($answered answered, $failed failed, $clients clients)" \
    "$([ "$failed" = 0 ] && [ "$answered" -gt 0 ] && echo 1)"
fi
if [ "$scrapers" != 0 ]; then
  check "every scrape of /metrics answered ($scraped answered, $scrape_failed failed, $scrapers scrapers)" \
    "$([ "$scrape_failed" = 0 ] && [ "$scraped" -gt 0 ] && echo 1)"
fi

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
if [ "$clients" != 0 ]; then
  echo "  page client requests              $answered answered, $failed failed ($clients clients)"
  echo "  client wait for an answer         median $answer_median ms, longest $answer_max ms"
fi
if [ "$scrapers" != 0 ]; then
  echo "  scrapes of /metrics               $scraped answered, $scrape_failed failed ($scrapers scrapers)"
  echo "  scraper wait for an answer        median $scrape_median ms, longest $scrape_max ms"
fi
[ "$failures" = 0 ]
