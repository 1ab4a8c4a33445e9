#!/usr/bin/env bash
# Installs what building and testing need on Debian, when it is missing.
set -euo pipefail
packages=(cmake g++ ninja-build qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6serialport6-dev
          qt6-qpa-plugins fonts-liberation
          desktop-file-utils dpkg-dev file # these three: install check and Debian package
          clang libclang-rt-14-dev # the fuzz targets
          pcscd vsmartcard-vpcd libpcsclite-dev pkg-config) # PC/SC readers and their virtual reader
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update
  $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
