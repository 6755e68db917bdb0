#!/usr/bin/env bash
# Measures how often the N-cornered hat's confidence intervals hold each oscillator's true
# deviation (tools/hatcoverage: 500 trials of 1000 and of 10000 points for each case and noise,
# fixed seeds; about ten minutes on one core), and writes docs/hat-coverage.md: the interval
# methods side by side, the analyser's summary and every cell. BUILD names the build folder
# (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD:-build}"
[ -d "$build" ] || ./scripts/setup.sh
cmake --build "$build" --target hat_coverage_validation
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/tools/hatcoverage/hat_coverage_validation" --trials 500 --lengths 1000,10000 \
  --threads "${THREADS:-1}" --table "$work/table.md" --summary "$work/summary.md" \
  --methods "$work/methods.md"

{
  echo "# Measured coverage of the N-cornered hat's intervals"
  echo
  echo "Made by \`scripts/hat-coverage-table.sh\` (\`hat_coverage_validation\`); [docs/hat.md](hat.md) says how to read it."
  echo "500 trials per row, each a set of independent simulated oscillators (fixed seeds) measured in"
  echo "pairs: a triangle of three, the same with C ten times quieter, a star of three DUTs on a"
  echo "reference R, and the same with R ten times quieter. The shares held count the positive"
  echo "estimates; \"upper bound above truth\" counts every trial, a negative estimate by its upper"
  echo "bound alone. \"truth\" is \"level\" where the deviation follows from the simulated level,"
  echo "\"rms\" where it is the rms of the oscillator's own estimates over the trials."
  echo
  echo "## The interval methods"
  echo
  cat "$work/methods.md"
  echo
  echo "## The analyser's method, summary"
  echo
  cat "$work/summary.md"
  echo
  echo "## Every cell"
  echo
  cat "$work/table.md"
} > docs/hat-coverage.md
