#!/usr/bin/env bash
# Sets up, builds and runs every test. Needs no display of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
# The web edition too: built with Emscripten, played in headless Chromium.
tools/web.sh build build-web
tools/web.sh browser
cmake -S . -B build -DZORUKAN_WEB_SITE="$PWD/build-web/site" >/dev/null
ctest --test-dir build --output-on-failure -j"$(nproc)"
