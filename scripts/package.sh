#!/usr/bin/env bash
# Builds the Debian packages tessarin-console_<version>_amd64.deb (the programs) and
# python3-tessarin_<version>_amd64.deb (the Python module, import tessarin) with CPack's DEB
# generator from a Release build in build-deb/ (or $BUILD_DIR), and prints their paths. The version is
# project(VERSION) in CMakeLists.txt; the runtime dependencies are found by dpkg-shlibdeps. The
# maintainer is "$DEBFULLNAME <$DEBEMAIL>" when both are set. Arguments are passed on to cmake's
# configure step, e.g. -DCMAKE_CXX_COMPILER_LAUNCHER=ccache.
# Needs what ./scripts/setup.sh installs; install the packages with
#   sudo apt-get install ./tessarin-console_<version>_amd64.deb ./python3-tessarin_<version>_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build-deb}"

for tool in cmake ninja cpack dpkg-shlibdeps; do
  command -v "$tool" > /dev/null ||
    { echo "package.sh: $tool is missing; run ./scripts/setup.sh" >&2; exit 1; }
done

maintainer=()
if [ -n "${DEBFULLNAME:-}" ] && [ -n "${DEBEMAIL:-}" ]; then
  maintainer=("-DTESSARIN_MAINTAINER=$DEBFULLNAME <$DEBEMAIL>")
fi

# Tests and benchmarks are not part of the package.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON "${maintainer[@]}" "$@"
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack -G DEB)

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
for name in tessarin-console python3-tessarin; do
  package="$build/${name}_${version}_$(dpkg --print-architecture).deb"
  [ -f "$package" ] || { echo "package.sh: $package was not made" >&2; exit 1; }
  realpath "$package"
done
