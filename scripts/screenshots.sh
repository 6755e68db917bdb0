#!/usr/bin/env bash
# Takes the README's pictures (docs/console-run.png, docs/served-page.png, docs/console-mask.png,
# docs/graphics-scales.png): runs the console under Xvfb against the simulator through a short
# measurement, serving the run's page for Chromium (headless) to draw. Run it again to refresh them.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=()
command -v Xvfb > /dev/null || missing+=(xvfb)
command -v chromium > /dev/null || missing+=(chromium)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
[ -x build/tools/screenshots/readme_screenshots ] || ./scripts/setup.sh
cmake --build build --target readme_screenshots tessarin-sim

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
pids+=($!)
link="$work/instrument.tty"
./build/sim/tessarin-sim --link "$link" --dut-hz 10000012.34567 --white-phase 2e-11 \
  --speedup 20 --log "$work/sim.log" > /dev/null &
pids+=($!)
for _ in $(seq 50); do [ -e "$link" ] && [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

mkdir -p docs
DISPLAY=$display QT_QPA_PLATFORM=xcb ./build/tools/screenshots/readme_screenshots "$link" docs
echo "Written: docs/console-run.png docs/served-page.png docs/console-mask.png docs/graphics-scales.png"
