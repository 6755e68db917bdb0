#!/usr/bin/env bash
# Measures how often the analyser's confidence intervals hold the true deviation over simulated
# power-law noise (tools/coverage: 10000 series of 1000 points and 1000 of 100000 points of each
# noise, fixed seeds; about 5 minutes on two cores), and writes:
#   docs/coverage.md  every statistic and factor, by default, and the summaries of the reference
#                     method (--edf reference) and of each statistic's own noise reading
#   docs/analysis.md  the default summary, between its coverage markers
# BUILD names the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD:-build}"
[ -d "$build" ] || ./scripts/setup.sh
cmake --build "$build" --target coverage_validation
validation="$build/tools/coverage/coverage_validation"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$validation" --table "$work/table.md" --summary "$work/summary.md"
"$validation" --edf reference --summary "$work/reference.md" --table /dev/null
"$validation" --noise-per-statistic --summary "$work/per-statistic.md" --table /dev/null

{
  echo "# Measured coverage of the confidence intervals"
  echo
  echo "Made by \`scripts/coverage-table.sh\` (\`coverage_validation\`); [docs/analysis.md](analysis.md#how-far-to-trust-a-bar) says how to read it."
  echo "\"truth\" is \"level\" where the deviation follows from the simulated noise's level, \"rms\""
  echo "where it is the rms of the estimates over the series (flicker noises, total deviation)."
  echo "\"EDF seen\" is 2 E[v]^2 / var(v) of the variances v over the series; \"EDF given\" is the"
  echo "analyser's for the simulated noise type."
  echo
  echo "## Default (--edf coverage)"
  echo
  cat "$work/table.md"
  echo
  echo "## Reference method (--edf reference), summary"
  echo
  cat "$work/reference.md"
  echo
  echo "## Each statistic its own noise reading (--noise-per-statistic), summary"
  echo
  cat "$work/per-statistic.md"
} > docs/coverage.md

awk -v summary="$work/summary.md" '
  /<!-- coverage:end -->/ { while ((getline line < summary) > 0) print line; skipping = 0 }
  !skipping { print }
  /<!-- coverage:begin -->/ { skipping = 1 }
' docs/analysis.md > "$work/analysis.md"
mv "$work/analysis.md" docs/analysis.md
