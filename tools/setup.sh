#!/usr/bin/env bash
# setup.sh [play]: installs what building and testing the game need on
# Debian 12, then configures and builds it in ./build. With `play`, only what
# building and playing it need, and the tests are not built. Safe to run
# again: apt is only asked for packages that are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

# Building and playing: the compiler, Qt, the libraries the game and its art
# generator link, the number libraries of the replay driver, and the font.
play_packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libfontconfig-dev libgif-dev zlib1g-dev
  libfast-float-dev libfmt-dev
  fonts-ipafont-gothic
)
# Testing: the test and benchmark libraries, a virtual X server and the
# tools that drive and read it, and the desktop entry's validators.
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick
  desktop-file-utils appstream
)

if [ "${1:-}" = play ]; then
  tools/require-packages.sh "${play_packages[@]}"
  testing=OFF
else
  tools/require-packages.sh "${play_packages[@]}" "${test_packages[@]}"
  testing=ON
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=$testing >/dev/null
cmake --build build -j"$(nproc)"
