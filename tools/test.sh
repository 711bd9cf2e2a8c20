#!/usr/bin/env bash
# Sets up, builds and runs every test. Needs no display of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
# Every build made here, native, web and Windows, fails on a warning.
export ZORUKAN_WARNINGS_AS_ERRORS=ON
tools/setup.sh
# The web edition too: built with Emscripten, played in headless Chromium.
tools/web.sh build build-web
tools/web.sh browser
# The replay driver for Windows, its golden replays played under Wine (and
# the Node driver's, which tools/web.sh builds, with Node).
tools/windows.sh build-windows
cmake -S . -B build -DZORUKAN_WEB_SITE="$PWD/build-web/site" \
  -DZORUKAN_REPLAY_JS="$PWD/build-web/zorukan-replay.js" \
  -DZORUKAN_REPLAY_EXE="$PWD/build-windows/zorukan-replay.exe" -DZORUKAN_WARNINGS_AS_ERRORS=ON >/dev/null
ctest --test-dir build --output-on-failure -j"$(nproc)"
