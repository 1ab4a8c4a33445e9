#!/usr/bin/env bash
# Installs a build into a temporary DESTDIR under /usr and checks what lands there:
# the two programs, the desktop entry (validated), the icon and the manual pages,
# that the manual page of mifare-sim covers every option and line command the
# simulator has, and that both installed programs start.
#
#   packaging/check-install.sh BUILD_DIR [PACKAGING_DIR]
set -uo pipefail

build=${1:?usage: check-install.sh BUILD_DIR [PACKAGING_DIR]}
packaging=${2:-$(cd "$(dirname "$0")" && pwd)}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! command -v desktop-file-validate >/dev/null; then
  echo "FAIL: desktop-file-validate is missing; install desktop-file-utils (scripts/install-deps.sh does)"
  exit 1
fi

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
if ! DESTDIR="$root/dest" cmake --install "$build" --prefix /usr >"$root/install.log" 2>&1; then
  cat "$root/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi
d=$root/dest/usr

for program in merlox-mifare mifare-sim; do
  [ -x "$d/bin/$program" ] || fail "bin/$program is not installed or not executable"
done

desktop=$d/share/applications/merlox-mifare.desktop
if [ -f "$desktop" ]; then
  desktop-file-validate "$desktop" || fail "desktop entry does not validate"
  grep -qx 'Categories=Utility;Electronics;' "$desktop" || fail "desktop entry: Categories is not Utility;Electronics;"
  exec_cmd=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$d/bin/$exec_cmd" ] || fail "desktop entry runs \"$exec_cmd\", which is not installed in bin/"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ -f "$d/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "desktop entry's icon \"$icon\" is not installed as a scalable icon"
else
  fail "share/applications/merlox-mifare.desktop is not installed"
fi

svg=$d/share/icons/hicolor/scalable/apps/merlox-mifare.svg
if [ -f "$svg" ]; then
  grep -q '<svg[^>]*xmlns="http://www.w3.org/2000/svg"' "$svg" || fail "icon is not an SVG document"
else
  fail "share/icons/hicolor/scalable/apps/merlox-mifare.svg is not installed"
fi

# A manual page in man1, gzipped or plain, as text without roff escapes.
man_text() {
  local base=$d/share/man/man1/$1.1
  if [ -f "$base.gz" ]; then gzip -dc "$base.gz"
  elif [ -f "$base" ]; then cat "$base"
  else return 1
  fi
}
for page in mifare-sim merlox-mifare; do
  man_text "$page" >/dev/null || fail "share/man/man1/$page.1(.gz) is not installed"
done

for file in copyright changelog.gz; do
  [ -s "$d/share/doc/merlox-mifare/$file" ] || fail "share/doc/merlox-mifare/$file is not installed"
done
grep -q '^License: Expat$' "$d/share/doc/merlox-mifare/copyright" 2>/dev/null || fail "copyright names no licence"

# Every file must belong to one of these places: no libraries, headers or test
# programs slip into the package.
while IFS= read -r file; do
  case "$file" in
    bin/merlox-mifare | bin/mifare-sim | share/applications/* | share/icons/hicolor/* | \
    share/man/man1/* | share/doc/merlox-mifare/* | share/metainfo/*) ;;
    *) fail "unexpected file installed: usr/$file" ;;
  esac
done < <(cd "$d" && find . -type f -o -type l | sed 's|^\./||' | sort)

run_env=(env -i PATH=/usr/bin:/bin HOME="$root/home" XDG_CONFIG_HOME="$root/config"
         XDG_RUNTIME_DIR="$root/run" QT_QPA_PLATFORM=offscreen
         ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}")
mkdir -p "$root/home" "$root/config" "$root/run"
chmod 700 "$root/run"

if [ -x "$d/bin/mifare-sim" ] && page=$(man_text mifare-sim); then
  page=$(printf '%s\n' "$page" | sed 's/\\//g')
  help=$("${run_env[@]}" "$d/bin/mifare-sim" --help)
  for option in $(printf '%s\n' "$help" | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -qE -- "^\.B[RI]? .*$option( |\$)" <<<"$page" || fail "mifare-sim.1 does not describe the option $option"
  done
  commands=$(printf '%s\n' "$help" | awk '/^Line commands/ { on = 1; next } on && /^  [a-z]/ { print $1 }' | sort -u)
  [ -n "$commands" ] || fail "mifare-sim --help lists no line commands"
  for command in $commands; do
    grep -qE "^\.B[RI]? +$command( |$)" <<<"$page" || fail "mifare-sim.1 does not describe the line command \"$command\""
  done
  # The installed simulator serves, answers its line commands and names its faults.
  reply=$(printf 'fault no-such-fault\nquit\n' | "${run_env[@]}" timeout 20 "$d/bin/mifare-sim" --quiet 2>&1)
  faults=$(sed -n 's/^usage: fault \([^ ]*\) .*/\1/p' <<<"$reply" | tr '|' ' ')
  [ -n "$faults" ] || fail "installed mifare-sim did not answer its line commands: $reply"
  for fault in $faults; do
    grep -qE "^\.B +$fault$" <<<"$page" || fail "mifare-sim.1 does not describe the fault \"$fault\""
  done
fi

# The program starts from its installed place alone and keeps running until killed.
if [ -x "$d/bin/merlox-mifare" ]; then
  "${run_env[@]}" timeout 5 "$d/bin/merlox-mifare" >"$root/run.log" 2>&1
  status=$?
  if [ "$status" -ne 124 ]; then
    cat "$root/run.log"
    fail "installed merlox-mifare ended by itself (status $status) instead of running until killed"
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures install check(s) failed; installed files:"
  (cd "$root/dest" && find . -type f -o -type l | sort)
  exit 1
fi
echo "install layout ok"
