#!/usr/bin/env bash
# Installs the Debian packages on a clean Debian 12 root and checks that they work there: the root
# is made afresh with debootstrap, the packages go in with
#   apt-get install ./tessarin-console_<version>_amd64.deb [./python3-tessarin_<version>_amd64.deb]
# and nothing else, every program must answer --version, and the console must start (offscreen)
# for an ordinary user and keep its settings in that user's configuration folder. With the Python
# module's package, Debian's python3 must import it from dist-packages, and the module's pytest
# tests (python/tests, with pytest added to the root) must pass on the installed module.
#   sudo ./scripts/install-test.sh build-deb/tessarin-console_1.0.0_amd64.deb \
#     [build-deb/python3-tessarin_1.0.0_amd64.deb] [ROOT]
# ROOT defaults to /tmp/tessarin-install-root and is removed first. Needs root and Debian's
# package mirror ($DEBIAN_MIRROR, default http://deb.debian.org/debian). Run by hand, not in CI.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
packages=()
while [ $# -gt 0 ] && [[ "$1" == *.deb ]]; do
  [ -f "$1" ] || { echo "install-test.sh: no package $1" >&2; exit 1; }
  packages+=("$(realpath "$1")")
  shift
done
if [ ${#packages[@]} -eq 0 ] || [ $# -gt 1 ]; then
  echo "usage: $0 PACKAGE.deb [PACKAGE.deb...] [ROOT]" >&2
  exit 1
fi
[ "$(id -u)" -eq 0 ] || { echo "install-test.sh: run as root (debootstrap, chroot)" >&2; exit 1; }
root="${1:-/tmp/tessarin-install-root}"
mirror="${DEBIAN_MIRROR:-http://deb.debian.org/debian}"
[ "$(realpath -m "$root")" != / ] || { echo "install-test.sh: ROOT must not be /" >&2; exit 1; }

command -v debootstrap > /dev/null ||
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends debootstrap

cleanup() { umount "$root/proc" 2> /dev/null || true; }
trap cleanup EXIT
cleanup
rm -rf "$root"
echo "== debootstrap bookworm into $root"
debootstrap --variant=minbase bookworm "$root" "$mirror" > "$root.debootstrap.log" 2>&1 ||
  { tail -20 "$root.debootstrap.log"; exit 1; }
# A fresh Debian 12 machine also has its updates and security updates.
cat > "$root/etc/apt/sources.list" << SOURCES
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb http://security.debian.org/debian-security bookworm-security main
SOURCES
mount -t proc proc "$root/proc"
cp "${packages[@]}" "$root/tmp/"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

names=()
for package in "${packages[@]}"; do names+=("./$(basename "$package")"); done
echo "== apt-get install ${names[*]}"
in_root apt-get update -q
in_root sh -c "cd /tmp && DEBIAN_FRONTEND=noninteractive apt-get install -y -q ${names[*]}"

failed=0
echo "== --version"
for program in tessarin-console tessarin-sim tessarin-analyze; do
  # The analysis tool is packaged once it is built.
  [ "$program" = tessarin-analyze ] && [ ! -e "$root/usr/bin/$program" ] && continue
  first="$(in_root "$program" --version | head -n 1)" || true
  if [[ "$first" == "$program (Tessarin / RS) "* ]]; then
    echo "ok: $first"
  else
    echo "FAILED: $program --version said '$first'"
    failed=1
  fi
done

echo "== the console started by an ordinary user"
in_root useradd --create-home metrologist
status=0
in_root timeout 5 setpriv --reuid=metrologist --regid=metrologist --init-groups \
  env HOME=/home/metrologist QT_QPA_PLATFORM=offscreen tessarin-console || status=$?
if [ $status -ne 124 ]; then
  echo "FAILED: the console ended with status $status within 5 s instead of running"
  failed=1
elif [ -d "$root/home/metrologist/.config/tessarin-console" ]; then
  echo "ok: it runs; its settings folder is /home/metrologist/.config/tessarin-console"
else
  echo "FAILED: no settings folder in /home/metrologist/.config"
  failed=1
fi

if [ -e "$root/usr/lib/python3/dist-packages/tessarin" ]; then
  echo "== import tessarin"
  where="$(in_root python3 -c 'import tessarin; print(tessarin.__version__, tessarin.__file__)')" ||
    true
  version="$(in_root dpkg-query -W -f='${Version}' python3-tessarin)"
  if [[ "$where" == "$version /usr/lib/python3/dist-packages/tessarin/"* ]]; then
    echo "ok: $where"
  else
    echo "FAILED: import tessarin said '$where'"
    failed=1
  fi
  echo "== the module's tests on the installed module"
  in_root sh -c "DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    python3-pytest" > /dev/null
  mkdir -p "$root/tmp/tessarin-tests/python" "$root/tmp/tessarin-tests/tests/data"
  cp -r "$here/python/tests" "$root/tmp/tessarin-tests/python/"
  cp -r "$here/tests/data/allan" "$root/tmp/tessarin-tests/tests/data/"
  in_root env PYTHONDONTWRITEBYTECODE=1 python3 -m pytest -q -p no:cacheprovider \
    /tmp/tessarin-tests/python/tests || { echo "FAILED: the module's tests"; failed=1; }
fi

echo "== installed files"
in_root dpkg -L tessarin-console
[ ! -e "$root/usr/lib/python3/dist-packages/tessarin" ] || in_root dpkg -L python3-tessarin
[ $failed -eq 0 ] && echo "install test passed" || echo "install test FAILED"
exit $failed
