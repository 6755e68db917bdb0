#!/usr/bin/env bash
# Checks that the code's folders depend one way, inside out, and that no folder's files include
# one another in a loop.
#
# src/, each folder a layer that may include only those named beside it:
#   stability/  the statistics: nothing else of ours
#   platform/   the interfaces to the outside world and Result: nothing else of ours
#   link/       the instrument dialogue: platform/, stability/
#   run/        the measurement and its data file: link/ and below
#   records/    the readers of recorded files: run/ and below
#   analysis/   the analysis engine: records/, run/, platform/, stability/ (never link/)
#   graphics/   the plot models: run/ and below
#   app/        the console and its use cases: everything above but qt/
#   qt/         the Qt adapters, the outermost ring; main.cpp: anything
# Nothing under src/ includes tools/.
#
# tools/analyze/, the analyser's front end over the engine, in its own rings: cli/ (the command
# line), output/ (the writers), report/ (the run report), commands/ (what a command line does),
# main.cpp; each may include the rings before it and the engine's layers of src/ (not app/ or
# qt/). The other tools (coverage, hatcoverage, million, screenshots) may include anything of
# src/ but nothing of tools/analyze/.
#
# python/src/, the Python module's bindings, may include its own files and the engine's layers of
# src/, nothing of app/, qt/ or tools/.
#
# Prints every include that points outwards as FILE:LINE, and every loop of includes among the
# files of one folder (a header and its source counted as one), and fails if there is one. The
# loops are looked for everywhere but in app/ and qt/, where the console and the use cases it
# dispatches to reach one another through the console object, and stability/, where the
# statistics' names and their one-factor estimate() share a file that the accumulators include.
# Usage: check-layers.sh [SOURCE_FOLDER [TOOLS_FOLDER [PYTHON_FOLDER]]]   (default: src/, tools/
# and python/src/ of this checkout; a SOURCE_FOLDER given alone is checked alone)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
if [ $# -ge 1 ]; then
  src="$(cd "$1" && pwd)"
  tools="${2:+$(cd "$2" && pwd)}"
  python="${3:+$(cd "$3" && pwd)}"
else
  src="$here/src"
  tools="$here/tools"
  python="$here/python/src"
fi

engine="analysis records run platform stability"
declare -A allowed=(
  [stability]="stability"
  [platform]="platform"
  [link]="link platform stability"
  [run]="run link platform stability"
  [records]="records run link platform stability"
  [analysis]="analysis $engine"
  [graphics]="graphics run link platform stability"
  [app]="app analysis records graphics run link platform stability"
  [python]="python $engine"
  [analyze/cli]="analyze/cli $engine"
  [analyze/output]="analyze/output analyze/cli $engine"
  [analyze/report]="analyze/report analyze/output analyze/cli $engine"
  [analyze/commands]="analyze/commands analyze/report analyze/output analyze/cli $engine"
)

violations=0
checked=0
edges="$(mktemp)"
trap 'rm -f "$edges"' EXIT

# check FILE LAYER SHOWN ROOT: the includes of FILE (in the layer LAYER, named SHOWN in messages),
# each resolved against the front end's folder ROOT (empty for src/) before src/.
check() {
  local file="$1" layer="$2" shown="$3" root="$4"
  local folder
  folder="$(dirname "$file")"
  checked=$((checked + 1))
  while IFS=: read -r line included; do
    local first="${included%%/*}" target="" resolved=""
    if [ "$first" = "$included" ]; then
      target="$layer"  # beside the file, in its own folder
      resolved="$folder/$included"
    elif [ -n "$root" ] && [ -d "$root/$first" ]; then
      target="analyze/$first"
      resolved="$root/$included"
    elif [ -d "$src/$first" ]; then
      target="$first"
      resolved="$src/$included"
    elif [ -n "$tools" ] && { [ "$first" = tools ] || [ -d "$tools/analyze/$first" ]; }; then
      target="tools"
    else
      continue  # not one of our folders
    fi
    if [ "$(dirname "$resolved")" = "$folder" ] && [[ ! "$layer" =~ ^(app|qt|stability)$ ]]; then
      printf '%s %s\n' "${file%.*}" "${resolved%.*}" >> "$edges"
    fi
    if [ -n "${allowed[$layer]+set}" ] && [[ " ${allowed[$layer]} " != *" $target "* ]]; then
      echo "$shown:$line: ${layer#analyze/}/ includes $included"
      violations=$((violations + 1))
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
             sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
}

while IFS= read -r file; do
  layer="${file%%/*}"
  [ "$layer" != "$file" ] || continue  # main.cpp
  check "$src/$file" "$layer" "$file" ""
done < <(cd "$src" && find . -name '*.cpp' -o -name '*.h' | sed 's|^\./||' | sort)

if [ -n "$tools" ]; then
  while IFS= read -r file; do
    case "$file" in
      analyze/*/*) layer="analyze/$(basename "$(dirname "$file")")" ;;
      analyze/*) layer="analyze/main" ;;
      *) layer="tools/${file%%/*}" ;;
    esac
    root=""
    [[ "$file" != analyze/* ]] || root="$tools/analyze"
    check "$tools/$file" "$layer" "tools/$file" "$root"
    # Outside the analyser, its rings are never included.
    if [[ "$layer" == tools/* ]] &&
       grep -q -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"(cli|output|report|commands)/' \
         "$tools/$file"; then
      echo "tools/$file: includes the analyser's front end"
      violations=$((violations + 1))
    fi
  done < <(cd "$tools" && find . -name '*.cpp' -o -name '*.h' | sed 's|^\./||' | sort)
fi

if [ -n "$python" ]; then
  while IFS= read -r file; do
    check "$python/$file" python "python/src/$file" ""
  done < <(cd "$python" && find . -name '*.cpp' -o -name '*.h' | sed 's|^\./||' | sort)
fi

# A loop among the files of one folder: a header and its source count as one.
if ! loops="$(sort -u "$edges" | awk '$1 != $2' | tsort 2>&1 >/dev/null)"; then
  echo "$loops" | sed -n 's/^tsort: //p' | sed 's|'"$src"'/||; s|'"${tools:-/nonexistent}"'/|tools/|'
  violations=$((violations + 1))
fi

if [ "$violations" -gt 0 ]; then
  echo "Layer check: $violations include(s) point outwards or go round in $checked files." >&2
  exit 1
fi
echo "Layer check: $checked files, every include points inwards and none goes round."
