#!/usr/bin/env bash
# Sets up and builds like tools/setup.sh, then runs every benchmark in a
# virtual X server of its own and prints one table: each figure, its floor
# (what the toolkit alone costs, measured in the same run), the ratio, the
# target and the verdict. Exits non-zero when a target is missed.
# Usage: tools/bench.sh [RUNS]   RUNS start-ups of each window (default 11)
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh >/dev/null
tools/require-packages.sh xvfb xauth

driver=build/bench/bench_driver
[ -x "$driver" ] || { echo "bench: $driver was not built (needs Qt 6 and Google Benchmark)" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Let the server pick a free display and tell us which.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "bench: Xvfb did not start: $(cat "$work/xvfb.log")" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work"
unset WAYLAND_DISPLAY
chmod 700 "$work"

echo "bench: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)," \
  "Qt $(pkg-config --modversion Qt6Core 2>/dev/null || echo '?')"
"$driver" "$@"
