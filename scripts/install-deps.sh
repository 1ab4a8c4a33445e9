#!/usr/bin/env bash
# Installs what building and testing need on Debian, when it is missing. Only real
# package names: a virtual one never shows as installed and would run apt every time.
# When everything is there, apt is not run at all (and no sudo is asked for).
set -euo pipefail
packages=(cmake g++ ninja-build qt6-base-dev qt6-base-dev-tools qt6-serialport-dev
          qt6-qpa-plugins fonts-liberation
          desktop-file-utils dpkg-dev file lintian # install check and Debian package
          clang libclang-rt-14-dev # the fuzz targets
          pcscd vsmartcard-vpcd libpcsclite-dev pkg-config) # PC/SC readers and their virtual reader
missing=()
for p in "${packages[@]}"; do
  # "installed", not merely known to dpkg (a removed package can leave its config files).
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null)" = installed ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update
  $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
