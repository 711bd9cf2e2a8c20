#!/usr/bin/env bash
# Sets up and builds like tools/setup.sh, then runs every benchmark in a
# virtual X server of its own and prints one table: each figure, its floor
# (what the toolkit alone costs, measured in the same run), the ratio, the
# target and the verdict. Exits non-zero when a target is missed.
# Usage: tools/bench.sh [RUNS]   RUNS start-ups of each window (default 300)
#
# Whole processes are timed by hyperfine and weighed by GNU time; the
# programs measure only what must be seen from inside (the first frame, idle
# timer events and CPU, timer intervals, repainted areas, paint time).
set -euo pipefail
cd "$(dirname "$0")/.."
# Read before the set-up below can build anything.
load_before=$(cut -d' ' -f1 /proc/loadavg)
tools/setup.sh >/dev/null
tools/require-packages.sh xvfb xauth hyperfine time jq

runs=${1:-300}
runs_a_round=3
weighings=11
clock_runs=3
bench=build/bench
for program in game_window_bench bare_window core_bench bench_table; do
  [ -x "$bench/$program" ] || { echo "bench: $bench/$program was not built (needs Qt 6 and Google Benchmark)" >&2; exit 1; }
done

. tools/xvfb.sh
work=$(mktemp -d)
sampler_pid=""
cleanup() {
  [ -z "$sampler_pid" ] || kill "$sampler_pid" 2>/dev/null || true
  xvfb_stop
  rm -rf "$work"
}
trap cleanup EXIT

# How busy other work keeps the machine: its tasks that are running, waiting
# for a core or in uninterruptible sleep, as the kernel's load average counts
# them, but leaving out this bench and everything it starts (which alone keep
# about one core busy). One count every two seconds.
other_tasks_busy() {
  { grep -H '' /proc/[0-9]*/task/[0-9]*/stat 2>/dev/null || true; } | awk -v bench=$$ '
    { split($0, path, "/"); pid = path[3]; sub(/^[^:]*:/, ""); sub(/^.*\) /, "")
      parent[pid] = $2; if ($1 == "R" || $1 == "D") busy[pid]++ }
    END {
      for (pid in busy) {
        for (p = pid; p > 1 && p != bench; p = parent[p]) {}
        if (p != bench) n += busy[pid]
      }
      print n + 0
    }'
}
sample_other_load() {
  while sleep 2; do other_tasks_busy; done >"$work/other_load"
}
sample_other_load &
sampler_pid=$!

xvfb_start "$work" || exit 1
export XDG_RUNTIME_DIR="$work"

echo "bench: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)," \
  "Qt $(pkg-config --modversion Qt6Core 2>/dev/null || echo '?'), load average $(cut -d' ' -f1-3 /proc/loadavg)"
figures="$work/figures"

# The game and the bare windows it is held against, each ending as soon as
# its first frame is up: SUBJECT COMMAND pairs.
subjects=(
  game "$bench/game_window_bench first-frame"
  bare "$bench/bare_window first-frame"
  label "$bench/bare_window first-frame label"
  widgets "$bench/bare_window first-frame widgets"
)

# Start-up, in short rounds in which every window takes its turn, so that a
# busy spell on the machine falls on all of them alike. One start-up varies
# by a third from the next; with 300 of each, the ratio of the medians moves
# by under 0.01 from run to run.
named=()
for ((i = 0; i < ${#subjects[@]}; i += 2)); do named+=(-n "${subjects[i]}"); done
for ((i = 1; i < ${#subjects[@]}; i += 2)); do named+=("${subjects[i]}"); done
for ((round = 0; round < (runs + runs_a_round - 1) / runs_a_round; ++round)); do
  # A window that fails is named and fails the run, but the table is still
  # printed.
  hyperfine -N --style none --ignore-failure --warmup 1 --runs "$runs_a_round" \
    --export-json "$work/startup.json" "${named[@]}" >/dev/null 2>"$work/hyperfine.log" ||
    { cat "$work/hyperfine.log" >&2; exit 1; }
  jq -r '.results[] | .command as $name | .times[] | "\($name).startup_ms \(. * 1000)"' "$work/startup.json" >>"$figures"
  jq -r '.results[] | select(any(.exit_codes[]; . != 0)) | "\(.command) \(.exit_codes)"' "$work/startup.json" >>"$work/failed"
done
echo "bench: start-up done" >&2

# Peak memory, the windows taking turns.
for ((run = 0; run < weighings; ++run)); do
  for ((i = 0; i < ${#subjects[@]}; i += 2)); do
    read -ra command <<<"${subjects[i + 1]}"
    /usr/bin/time -f %M -o "$work/peak" "${command[@]}" >/dev/null
    echo "${subjects[i]}.peak_kib $(cat "$work/peak")" >>"$figures"
  done
done
echo "bench: memory done" >&2

# What only the programs themselves can see: `key value` lines.
probe() {
  local subject=$1
  shift
  timeout 180 "$@" | sed "s/^/$subject./" >>"$figures" || echo "bench: $* failed" >&2
}
probe game "$bench/game_window_bench" idle
probe bare "$bench/bare_window" idle
echo "bench: idle done" >&2
# A stall of the whole machine spoils one run's worst intervals, so the
# clocks are measured a few times, taking turns, and counted by the median.
for ((run = 0; run < clock_runs; ++run)); do
  probe game "$bench/game_window_bench" clocks
  probe bare "$bench/bare_window" clocks
done
echo "bench: clocks done" >&2
# So is paint time: one run's ratio moves by about 0.04 from the next.
for ((run = 0; run < clock_runs; ++run)); do
  probe game "$bench/game_window_bench" paint
done

# Google Benchmark's CSV: name,iterations,real_time,cpu_time,time_unit,... The core is
# single-threaded: its CPU time is its cost, whatever else the machine runs.
"$bench/core_bench" --benchmark_format=csv 2>/dev/null | awk -F, '$1 ~ /^"?BM_/ {
  gsub(/"/, "", $1); sub(/\/.*/, "", $1)
  scale = $5 == "ns" ? 1 : $5 == "us" ? 1e3 : $5 == "ms" ? 1e6 : 1e9
  print "core." $1 "_ns", $4 * scale
}' >>"$figures"
echo "bench: paint and core done" >&2
echo

status=0
"$bench/bench_table" <"$figures" || status=$?
if [ -s "$work/failed" ]; then
  echo "bench: start-ups that failed (window, then the exit statuses of its round):" >&2
  cat "$work/failed" >&2
  status=1
fi

# Other work on two cores slows the windows unevenly, and the start-up ratios
# come out high; the figures are then not to be trusted. The count stops
# before the web rows: its walk over the browser's hundreds of threads every
# two seconds takes a core from the pages as they load (the game's first
# frame came at 1.12 of the floor's with it, 1.03 without, back to back).
kill "$sampler_pid" 2>/dev/null || true
sampler_pid=""
other_load=$(awk '{ sum += $1 } END { printf "%.2f", NR ? sum / NR : 0 }' "$work/other_load")

# The web edition's rows, measured in headless Chromium, continue the table
# (its own header lines left out).
web_status=0
tools/web-bench.sh | tail -n +3 || web_status=$?
((web_status == 0)) || status=$web_status

echo
echo "bench: load average $load_before before the run, $(cut -d' ' -f1 /proc/loadavg) after it;" \
  "other work kept $other_load tasks busy on average during the desktop rows (the bench's own left out)"
if awk -v before="$load_before" -v during="$other_load" 'BEGIN { exit !(before > 1 || during > 1) }'; then
  echo "bench: WARNING: the machine was busy (load above 1 besides the bench): these timings are not to be" \
    "trusted; run again when the load average is below 1"
fi
exit "$status"
