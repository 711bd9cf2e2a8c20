#!/usr/bin/env bash
# Installs what building, playing and testing the game need on Debian 12,
# then configures and builds it in ./build. Safe to run again: apt is only
# asked for packages that are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libfontconfig-dev libgif-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic
  xvfb xauth xdotool x11-utils imagemagick
  desktop-file-utils appstream
)

tools/require-packages.sh "${packages[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
