#!/usr/bin/env bash
# Checks that the console's folders depend one way, inside out:
#   stability/  the statistics, shared with the tools: nothing else of ours
#   platform/   the interfaces to the outside world and Result: nothing else of ours
#   link/       the instrument dialogue: platform/, stability/
#   run/        the measurement and its data file: link/ and below
#   graphics/   the plot models: run/ and below
#   app/        the console and its use cases: everything above but qt/
#   qt/         the Qt adapters, the outermost ring; main.cpp: anything
# Prints every include that points outwards as FILE:LINE and fails if there is one.
# Usage: check-layers.sh [SOURCE_FOLDER]   (default: src/ of this checkout)
set -euo pipefail
src="${1:-$(dirname "$0")/../src}"
cd "$src"

declare -A allowed=(
  [stability]="stability"
  [platform]="platform"
  [link]="link platform stability"
  [run]="run link platform stability"
  [graphics]="graphics run link platform stability"
  [app]="app graphics run link platform stability"
)

violations=0
checked=0
while IFS= read -r file; do
  layer="${file%%/*}"
  [ -n "${allowed[$layer]+set}" ] || continue
  checked=$((checked + 1))
  while IFS=: read -r line included; do
    target="${included%%/*}"
    [ "$target" != "$included" ] || continue  # beside the file, in its own folder
    [ -d "$target" ] || continue               # not one of our folders
    if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
      echo "$file:$line: $layer/ includes $included"
      violations=$((violations + 1))
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
             sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
done < <(find . -name '*.cpp' -o -name '*.h' | sed 's|^\./||' | sort)

if [ "$violations" -gt 0 ]; then
  echo "Layer check: $violations include(s) point outwards in $checked files." >&2
  exit 1
fi
echo "Layer check: $checked files, every include points inwards."
