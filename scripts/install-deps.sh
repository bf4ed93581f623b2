#!/usr/bin/env bash
# Installs the Debian 12 packages Greenslip needs to build, run and test,
# only those that are missing. Runs apt-get as root (or through sudo).
set -euo pipefail

packages=(
  build-essential dpkg-dev file cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 libgl-dev
  libemf2svg-dev libcups2-dev libzint-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ocr-a fonts-liberation2 fonts-dejavu-core
)
# Independent xBase readers, a PDF rasteriser, a CUPS scheduler with a
# file-writing printer driver (the batch command's queue test starts a
# private one) and a virtual X server (the window catalog also runs on a
# real X display), used by the tests only; and Debian's package checker, the
# AppStream validator and man, with which the package check reads the
# package, its metadata and its manual pages.
if [ "${1:-}" = "--tests" ]; then
  packages+=(python3 python3-dbfread python3-dbf gdal-bin poppler-utils cups printer-driver-cups-pdf
             xvfb xauth lintian appstream man-db)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
