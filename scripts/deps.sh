#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the asset generator need.
# Does nothing when they are all present already, so running it twice costs nothing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache clang
  xvfb xdotool imagemagick openbox
  libsdl2-dev libpng-dev libjpeg62-turbo-dev zlib1g-dev libvorbisidec-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev
  libcairo2-dev libpango1.0-dev librsvg2-dev libfreetype-dev libvorbis-dev
  fonts-comfortaa fonts-quicksand fonts-cabin fonts-lobster fonts-dejavu-core
  desktop-file-utils appstream man-db
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
