#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer, no
# recovery) and runs each in turn for the given time, one at a time and niced.
#   ./scripts/fuzz.sh [SECONDS] [TARGET...]
# SECONDS per target (default 60); TARGETs from fuzz/CMakeLists.txt (default: all of them). The
# build goes to build-fuzz/ (or $TESSARIN_FUZZ_BUILD); each target's growing corpus stays in
# <build>/corpus/<target>/, starting from tests/data/fuzz/<target>/, and what a run finds goes to
# <build>/findings/<target>/. Prints executions and findings per target; fails if anything was
# found. A finding that is fixed is kept under tests/data/fuzz/<target>/regressions/, where the
# FuzzReplay tests of the normal build run it again.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TESSARIN_FUZZ_BUILD:-$root/build-fuzz}"
seconds="${1:-60}"
shift || true
if ! [[ "$seconds" =~ ^[0-9]+$ ]]; then
  echo "usage: $0 [SECONDS] [TARGET...]" >&2
  exit 2
fi
all=(console_replies rich_text setting3 settings_code serial_ports request_heads input_readers)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")
for t in "${targets[@]}"; do
  if [[ ! " ${all[*]} " =~ " $t " ]]; then
    echo "unknown target '$t'; the targets are: ${all[*]}" >&2
    exit 2
  fi
done

for tool in clang clang++; do
  command -v "$tool" > /dev/null || {
    echo "$tool is missing: apt-get install clang libclang-rt-14-dev" >&2
    exit 1
  }
done
launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTESSARIN_FUZZ=ON \
  -DBUILD_TESTING=OFF "${launcher[@]}" > /dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
summary=()
found=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  findings="$build/findings/$t"
  log="$build/fuzz-$t.log"
  mkdir -p "$corpus" "$findings"
  kept=()
  for d in seeds regressions; do
    [ -d "$root/tests/data/fuzz/$t/$d" ] && kept+=("$root/tests/data/fuzz/$t/$d")
  done
  before="$(find "$findings" -type f | wc -l)"
  echo "== $t: ${seconds} s (log: $log)"
  # A finding stops the run; its input is written to $findings.
  nice -n 15 "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "${kept[@]}" \
    > "$log" 2>&1 || true
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  new="$(($(find "$findings" -type f | wc -l) - before))"
  found=$((found + new))
  line="$(printf '%-16s %12s executions  %d findings  corpus %d inputs' "$t" "${runs:-?}" \
    "$new" "$(find "$corpus" -type f | wc -l)")"
  summary+=("$line")
  echo "$line"
  if [ "$new" -gt 0 ]; then
    grep -m 3 -E 'ERROR:|runtime error:|deadly signal' "$log" || true
    ls -t "$findings" | head -n "$new" | sed "s|^|  $findings/|"
  fi
done

echo "== Summary"
printf '%s\n' "${summary[@]}"
[ "$found" -eq 0 ]
