#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Orvane needs.
# Safe to run repeatedly; skips apt entirely when everything is already present.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config git locales
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  qt6-translations-l10n libqt6sql6-sqlite qt6-svg-dev qt6-charts-dev qt6-multimedia-dev
  libgl-dev libxkbcommon-dev libx11-dev libxss-dev
  libsqlite3-dev libpq-dev unixodbc-dev libicu-dev postgresql postgresql-contrib
  libxlsxwriter-dev libfreexl-dev libzip-dev zlib1g-dev
  libssl-dev libcurl4-openssl-dev openssl python3-aiosmtpd
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth openbox fonts-noto-cjk imagemagick x11-utils xdotool
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#PACKAGES[@]} packages present"
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
