#!/usr/bin/env bash
# Installs what the console needs from Debian's packages (as root or through sudo), then
# configures and builds in ./build: the targets named on the command line, or everything when none
# is named (scripts/test.sh needs the tests and benchmarks too; scripts/run.sh only the console and
# the simulator, which spares a first run most of the build). Safe to run again: it only installs
# what is missing.
#   ./scripts/setup.sh [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config
          qt6-base-dev qt6-serialport-dev qt6-qpa-plugins libqcustomplot-dev
          libgtest-dev libgmock-dev libbenchmark-dev clang-format
          desktop-file-utils libboost-math-dev libfftw3-dev
          qt6-httpserver-dev qt6-websockets-dev libjs-dygraphs
          pybind11-dev python3-dev python3-numpy python3-pytest)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" ${1:+--target "$@"}
