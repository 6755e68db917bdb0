#!/usr/bin/env bash
# Sets everything up, starts the instrument simulator on a pseudo-terminal, points Com 1 at it and
# starts the console. The simulator stops when the console closes.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh tessarin-console tessarin-sim

link="$PWD/build/tessarin-sim.tty"
./build/sim/tessarin-sim --link "$link" --dut-hz 10000012.34567 --white-phase 2e-11 \
  --log "$PWD/build/tessarin-sim.log" > /dev/null &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done

# The console reads its port map from its own folder.
printf 'Com1=%s\n' "$link" > build/serialports.txt
echo "Simulator on $link (Com 1). Choose File > Save File as, then File > Initialization."
./build/tessarin-console
