#!/usr/bin/env bash
# Sets everything up and runs every test, with no display needed:
#   1. the whole suite in the normal build, build/;
#   2. the whole suite again in build-sanitize/, built with AddressSanitizer and
#      UndefinedBehaviorSanitizer;
#   3. the format check: every tracked .cpp and .h file as clang-format (.clang-format) has it;
#   4. the layer check: no source file includes a folder further out than its own.
# Every step runs even when an earlier one failed; the script fails if any of them did.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
# The served page's tests load it in Chromium, headless; the console itself never needs it.
# The run report's tests read its PDF back with pdftotext (poppler-utils). The metrics' tests
# scrape the console with a real Prometheus and check its exposition with promtool (prometheus).
if ! dpkg-query -W -f='${Status}\n' chromium poppler-utils prometheus 2>/dev/null |
    grep -c 'install ok installed' | grep -q '^3$'; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: chromium poppler-utils prometheus"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends chromium \
    poppler-utils prometheus
fi
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"
failed=()

echo "== Tests in build/"
ctest --test-dir build --output-on-failure -j "$jobs" || failed+=("tests in build/")

echo "== Tests in build-sanitize/ (AddressSanitizer, UndefinedBehaviorSanitizer)"
# The build runs the test programs too, to list their tests, so these hold for it as well.
# An undefined-behaviour report stops the program (it is also built not to recover) and prints
# where it happened. Leak detection stays on: Qt offscreen reports no leaks of its own under it.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1
if cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
     -DTESSARIN_SANITIZE=ON &&
   cmake --build build-sanitize -j "$jobs"; then
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs" ||
    failed+=("tests in build-sanitize/")
else
  failed+=("build of build-sanitize/")
fi
unset UBSAN_OPTIONS ASAN_OPTIONS

echo "== Format check (clang-format --dry-run --Werror)"
unformatted=()
if sources="$(git ls-files -- '*.cpp' '*.h')"; then
  while IFS= read -r file; do
    [ -f "$file" ] || continue  # deleted in the work tree, not yet in the index
    clang-format --dry-run --Werror "$file" > /dev/null 2>&1 || unformatted+=("$file")
  done <<< "$sources"
else
  unformatted+=("(git ls-files failed: the format check needs a git checkout)")
fi
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "Not formatted as .clang-format says (fix with clang-format -i FILE...):"
  printf '  %s\n' "${unformatted[@]}"
  failed+=("format check")
else
  echo "All tracked .cpp and .h files are formatted."
fi

echo "== Layer check (scripts/check-layers.sh)"
./scripts/check-layers.sh || failed+=("layer check")

if [ ${#failed[@]} -gt 0 ]; then
  printf 'FAILED: %s\n' "${failed[@]}" >&2
  exit 1
fi
echo "All tests passed in build/ and build-sanitize/; formatting and layering are clean."
