#!/usr/bin/env bash
# Installs every Debian package Velmora needs to build, run, test and benchmark.
# Idempotent: asks apt only for what is missing, and updates the package lists
# only when something has to be installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6svg6
  gstreamer1.0-plugins-good gstreamer1.0-plugins-base
  libcurl4-openssl-dev libqrencode-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcpp-httplib-dev
  python3 python3-aiosmtpd python3-requests
  fonts-wqy-microhei
  zbar-tools xvfb xdotool imagemagick x11-utils libx11-dev
  sox libsox-fmt-mp3 lame
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
echo "deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
