#!/usr/bin/env bash
# Installs the Debian 12 packages the program, its tests and its benchmarks need.
# Quiet when everything is already there.
set -euo pipefail

PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-translations-l10n qt6-charts-dev
  libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc libsqlite3-dev
  libxlsxwriter-dev libminizip-dev libfreexl-dev
  tdsodbc unixodbc-dev
  libbenchmark-dev
  fonts-wqy-microhei
  xvfb xauth imagemagick poppler-utils python3-openpyxl
  postgresql
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
