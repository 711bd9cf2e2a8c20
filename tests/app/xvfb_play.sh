#!/usr/bin/env bash
# Plays one shot of the built game in a virtual X server: the window appears
# with its title and size, Cmd_Set then Cmd_Start draw a trace over the sky,
# and afterwards the trace is wiped and Cmd_Set swings the gauge again.
# Usage: xvfb_play.sh PATH/TO/zorukan
set -euo pipefail
game=$1
title="ドンガラ　ゾルカン"
# Rows above the television, the cannon and the barrel: only the trace is black there.
width=585 height=309 sky_rows=210
work=$(mktemp -d)
xvfb_pid="" game_pid=""

cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "xvfb_play: $*" >&2; exit 1; }

for tool in Xvfb xdotool import od awk; do
  command -v "$tool" >/dev/null || fail "missing $tool (tools/setup.sh installs it)"
done

# Let the server pick a free display and tell us which.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

"$game" 2>"$work/game.log" &
game_pid=$!
window=$(timeout 10 xdotool search --sync --name "$title" | head -n1) || fail "no window titled $title"
[ "$(xdotool getwindowname "$window")" = "$title" ] || fail "wrong title: $(xdotool getwindowname "$window")"
geometry=$(xdotool getwindowgeometry "$window")
grep -q "Geometry: ${width}x${height}" <<<"$geometry" || fail "wrong size: $geometry"
read -r left top < <(sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p' <<<"$geometry")

# Counts pixels of one colour in the window's first ROWS rows.
count() {  # R G B ROWS
  import -silent -window root -crop "${width}x${height}+${left}+${top}" +repage -depth 8 "rgb:$work/shot.rgb"
  od -An -v -tu1 -w3 "$work/shot.rgb" |
    awk -v r="$1" -v g="$2" -v b="$3" -v n=$((width * $4)) 'NR <= n && $1 == r && $2 == g && $3 == b { c++ } END { print c + 0 }'
}
click_at() {  # client X Y of a 17 x 17 button's top-left corner
  xdotool mousemove --sync $((left + $1 + 8)) $((top + $2 + 8)) click 1
}

sleep 0.5
black_before=$(count 0 0 0 "$sky_rows")
click_at 40 264    # Cmd_Set: 600, 3960 twips
sleep 0.3
click_at 104 264   # Cmd_Start: 1560, 3960 twips
sleep 0.6
black_in_flight=$(count 0 0 0 "$sky_rows")
((black_in_flight > black_before + 10)) || fail "no trace over the sky ($black_before -> $black_in_flight black pixels)"

# The shot lands or leaves the field, then the next one is armed: the trace
# is wiped and Cmd_Set works again.
# A hit opens the two boxes, which wait for OK.
for _ in $(seq 40); do
  sleep 0.25
  for box in $(xdotool search --name '^破壊$' 2>/dev/null); do
    xdotool windowfocus --sync "$box" key Return 2>/dev/null || true
  done
  (($(count 0 0 0 "$sky_rows") <= black_before)) && break
done
(($(count 0 0 0 "$sky_rows") <= black_before)) || fail "the trace was never wiped"
click_at 40 264
sleep 0.3
(($(count 64 64 64 "$height") > 0)) || fail "Cmd_Set did not swing the gauge for the next shot"
kill -0 "$game_pid" || fail "the game ended: $(cat "$work/game.log")"
echo "xvfb_play: window, trace and next shot as expected"
