#!/usr/bin/env bash
# Installs the Debian package on a clean Debian 12 root and checks that it works there: the root
# is made afresh with debootstrap, the package goes in with
#   apt-get install ./tessarin-console_<version>_amd64.deb
# and nothing else, every program must answer --version, and the console must start (offscreen)
# for an ordinary user and keep its settings in that user's configuration folder.
#   sudo ./scripts/install-test.sh build-deb/tessarin-console_1.0.0_amd64.deb [ROOT]
# ROOT defaults to /tmp/tessarin-install-root and is removed first. Needs root and Debian's
# package mirror ($DEBIAN_MIRROR, default http://deb.debian.org/debian). Run by hand, not in CI.
set -euo pipefail
if [ $# -lt 1 ] || [ ! -f "$1" ]; then
  echo "usage: $0 PACKAGE.deb [ROOT]" >&2
  exit 1
fi
[ "$(id -u)" -eq 0 ] || { echo "install-test.sh: run as root (debootstrap, chroot)" >&2; exit 1; }
package="$(realpath "$1")"
root="${2:-/tmp/tessarin-install-root}"
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
cp "$package" "$root/tmp/"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

echo "== apt-get install ./$(basename "$package")"
in_root apt-get update -q
in_root sh -c "cd /tmp && DEBIAN_FRONTEND=noninteractive apt-get install -y -q ./$(basename "$package")"

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

echo "== installed files"
in_root dpkg -L tessarin-console
[ $failed -eq 0 ] && echo "install test passed" || echo "install test FAILED"
exit $failed
