#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it: computed
# dependencies, the files it carries, the maintainer, the changelog's version, and
# lintian (no errors; its warnings are shown). With --install (as root, on a machine that may
# be changed): installs it with apt-get, starts the program the way the menu entry
# does, and removes the package again.
#
#   packaging/check-deb.sh BUILD_DIR [--install]
set -euo pipefail

build=$(cd "${1:?usage: check-deb.sh BUILD_DIR [--install]}" && pwd)
install=${2:-}

rm -f "$build"/merlox-mifare_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/merlox-mifare_*.deb)
echo "package: $deb"

depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
for library in libqt6widgets6 libqt6serialport6 libc6 qt6-qpa-plugins; do
  grep -q "\b$library\b" <<<"$depends" || { echo "FAIL: package does not depend on $library"; exit 1; }
done
contents=$(dpkg-deb --contents "$deb")
for file in ./usr/bin/merlox-mifare ./usr/bin/mifare-sim ./usr/share/applications/merlox-mifare.desktop \
            ./usr/share/icons/hicolor/scalable/apps/merlox-mifare.svg ./usr/share/man/man1/mifare-sim.1.gz; do
  grep -q " $file\$" <<<"$contents" || { echo "FAIL: package lacks $file"; exit 1; }
done
for file in copyright changelog.gz; do
  grep -q " ./usr/share/doc/merlox-mifare/$file\$" <<<"$contents" \
    || { echo "FAIL: package lacks /usr/share/doc/merlox-mifare/$file"; exit 1; }
done

maintainer=$(dpkg-deb --field "$deb" Maintainer)
echo "Maintainer: $maintainer"
grep -qE '^[^<>]+ <[^@<> ]+@[^@<> ]+\.[a-z]+>$' <<<"$maintainer" && ! grep -q localhost <<<"$maintainer" \
  || { echo "FAIL: Maintainer \"$maintainer\" is not a name with a real address"; exit 1; }
# The newest changelog entry names the version being packaged.
version=$(dpkg-deb --field "$deb" Version)
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb --extract "$deb" "$unpacked"
logged=$(gzip -dc "$unpacked/usr/share/doc/merlox-mifare/changelog.gz" | sed -n '1s/^merlox-mifare (\([^)]*\)).*/\1/p')
[ "$logged" = "$version" ] || { echo "FAIL: changelog's newest entry is \"$logged\", the package is $version"; exit 1; }

if ! command -v lintian >/dev/null; then
  echo "FAIL: lintian is missing; install it (scripts/install-deps.sh does)"
  exit 1
fi
# Errors fail the check; warnings and notes are shown for the record.
lintian --fail-on error --display-level '>=warning' "$deb" || { echo "FAIL: lintian reports errors"; exit 1; }

if [ "$install" = "--install" ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y "$deb"
  # The command of the menu entry, from the installed entry itself.
  command=$(sed -n 's/^Exec=//p' /usr/share/applications/merlox-mifare.desktop)
  home=$(mktemp -d)
  mkdir -m 700 "$home/run"
  status=0
  env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen \
    timeout 5 $command >"$home/log" 2>&1 || status=$?
  apt-get remove -y merlox-mifare
  if [ "$status" -ne 124 ]; then
    cat "$home/log"
    echo "FAIL: installed \"$command\" ended by itself (status $status) instead of running until killed"
    exit 1
  fi
  rm -rf "$home"
  echo "package installs, starts and removes"
fi
echo "package ok"
