#!/usr/bin/env bash
# The core and the replay driver for 64-bit Windows, cross-compiled with
# Debian's mingw-w64 and run under Wine.
#   tools/windows.sh OUT    builds OUT/zorukan-replay.exe
# Installs what is missing, as the other tools scripts do.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -eq 1 ] || { echo "usage: tools/windows.sh OUT" >&2; exit 2; }
out=$1

tools/require-packages.sh cmake make libfast-float-dev libfmt-dev g++-mingw-w64-x86-64-win32 wine wine64
cmake -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" -j2

# Wine sets up its prefix on its first start, which takes seconds and says
# so on standard error: done here once, so that no test sees it.
if ! WINEDEBUG=-all wine "$out/zorukan-replay.exe" tools/replay/sample.replay >/dev/null 2>"$out/wine-first-start.log"; then
  echo "windows: $out/zorukan-replay.exe does not run under wine (see $out/wine-first-start.log)" >&2
  exit 1
fi
echo "windows: built $out/zorukan-replay.exe"
