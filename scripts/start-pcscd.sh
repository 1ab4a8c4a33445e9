#!/usr/bin/env bash
# Starts the PC/SC daemon when it is not running (there is no service manager in CI or
# in a container), and waits until clients can reach it. With --debug it stays in the
# foreground of a background job and logs every APDU to $PCSCD_LOG (default
# /tmp/pcscd.log). Prints the daemon's state; fails when it cannot be started.
set -euo pipefail
socket=/run/pcscd/pcscd.comm

if pgrep -x pcscd >/dev/null && [ -S "$socket" ]; then
  echo "pcscd is running"
  exit 0
fi
if ! command -v pcscd >/dev/null && [ ! -x /usr/sbin/pcscd ]; then
  echo "pcscd is not installed: run scripts/install-deps.sh (packages pcscd vsmartcard-vpcd)" >&2
  exit 1
fi
pcscd=$(command -v pcscd || echo /usr/sbin/pcscd)
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

if [ "${1:-}" = "--debug" ]; then
  log="${PCSCD_LOG:-/tmp/pcscd.log}"
  $sudo setsid "$pcscd" --foreground --debug --apdu >"$log" 2>&1 </dev/null &
else
  $sudo "$pcscd" # forks into the background itself
fi

for _ in $(seq 50); do
  if [ -S "$socket" ]; then
    echo "pcscd started"
    exit 0
  fi
  sleep 0.1
done
echo "pcscd did not come up (no $socket after 5 s)" >&2
exit 1
