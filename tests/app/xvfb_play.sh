#!/usr/bin/env bash
# Plays the built game in a virtual X server, mostly with the keyboard: the
# window appears with exactly its title and its size; the mouse drags the
# scroll bar's thumb to the end, straight up, and Tab goes back to 発射セット;
# Space, Space sets and fires; the arrow keys aim and Enter fires again, so
# that the shell hits the television; both boxes appear titled exactly 破壊
# and Enter closes each; the trace is wiped and Space swings the gauge for the
# next shot. Titles are read as a window manager reads them.
# Usage: xvfb_play.sh PATH/TO/zorukan
set -euo pipefail
game=$1
. "$(dirname "$0")/../../tools/xvfb.sh"
# The script's own tools read and match the titles in one known locale; the
# game starts in the caller's, whatever it is (none at all, say), as it
# would for a player.
game_locale=(-u LC_ALL)
[ -z "${LC_ALL+set}" ] || game_locale=("LC_ALL=$LC_ALL")
export LC_ALL=C.UTF-8
title="ドンガラ　ゾルカン" box_title="破壊"
width=585 height=309
# Rows above the television, the cannon and the barrel at any angle: only the
# trace is black there.
sky_rows=200
# Where the scene puts things, in pixels at 15 twips each: the middle row of
# the power bar, from its left end; rows of grass beside the television.
bar_left=176 bar_row=264 grass_top=222 grass_rows=11
# The scroll bar's track (its thumb, 8 pixels wide, travels 31 pixels over
# the angles 0 to 90) and its middle row.
track_left=497 scroll_row=291
work=$(mktemp -d)
game_pid=""

cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$game_pid" ] && wait "$game_pid" 2>/dev/null || true
  xvfb_stop
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "xvfb_play: $*" >&2; exit 1; }

for tool in Xvfb xdotool xprop xwininfo import od awk; do
  command -v "$tool" >/dev/null || fail "missing $tool (tools/setup.sh installs it)"
done

xvfb_start "$work" || fail "no display"

# Both title properties, exactly; a window manager shows one or the other.
check_titles() {  # WINDOW TITLE
  local name
  for name in _NET_WM_NAME WM_NAME; do
    [ "$(xprop -notype -id "$1" "$name")" = "$name = \"$2\"" ] ||
      fail "$name is not \"$2\": $(xprop -notype -id "$1" "$name")"
  done
}
# The game's windows on the screen, found by its process rather than by a
# title, so that a wrong title is reported as such.
game_windows() {
  xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null || true
}

env "${game_locale[@]}" "$game" 2>"$work/game.log" &
game_pid=$!
window=$(timeout 10 xdotool search --sync --onlyvisible --pid "$game_pid" | head -n1) || fail "no window appeared"
check_titles "$window" "$title"
sleep 0.5  # a window manager, if there is one, frames and places the window
# The client area's place on the screen, inside any frame.
read -r left top size < <(xwininfo -id "$window" | awk '
  /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
  /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w "x" h }')
[ "$size" = "${width}x${height}" ] || fail "wrong size: $size"

# The window's pixels, one "R G B" line each, from row Y for ROWS rows.
pixels() {  # Y ROWS
  import -silent -window root -crop "${width}x${2}+${left}+$((top + $1))" +repage -depth 8 "rgb:$work/shot.rgb"
  od -An -v -tu1 -w3 "$work/shot.rgb"
}
count() {  # R G B ROWS: pixels of one colour in the first ROWS rows
  pixels 0 "$4" | awk -v r="$1" -v g="$2" -v b="$3" '$1 == r && $2 == g && $3 == b { c++ } END { print c + 0 }'
}
# The power the gauge stopped at, in twips (the bar's drawn width, rounded
# to its 200-twip steps).
gauge_twips() {
  pixels "$bar_row" 1 | awk -v from="$bar_left" '
    NR > from && !stop { if (($1 == 0 && $2 == 0 && $3 == 0) || ($1 == 64 && $2 == 64 && $3 == 64)) n++; else stop = 1 }
    END { print int(n * 15 / 200 + 0.5) * 200 }'
}
# The television's left edge in twips: the first pixel right of the cannon
# that is not grass.
television_twips() {
  pixels "$grass_top" "$grass_rows" | awk -v w="$width" '
    { x = (NR - 1) % w } x >= 60 && !($1 == 0 && $2 == 192 && $3 == 0) && (m == "" || x < m) { m = x }
    END { print m * 15 }'
}
# The highest angle whose shell, at SPEED, passes well inside the television
# on a tick after FROM_TICK. The game's path: after t ticks of 60 ms the
# shell is at x = 720 + v cos(a) t, y = 3360 - v sin(a) t + 5 t^2 (twips).
angle_to_hit() {  # SPEED TV_LEFT FROM_TICK
  awk -v v="$1" -v tv="$2" -v from="$3" '
    function crosses(x1, y1, x2, y2,   lo, hi, a, b, t) {  # segment through the box shrunk by a margin
      lo = 0; hi = 1
      if (x1 == x2) { if (x1 <= L || x1 >= R) return 0 } else {
        a = (L - x1) / (x2 - x1); b = (R - x1) / (x2 - x1); if (a > b) { t = a; a = b; b = t }
        if (a > lo) lo = a; if (b < hi) hi = b }
      a = (T - y1) / (y2 - y1); b = (B - y1) / (y2 - y1); if (a > b) { t = a; a = b; b = t }
      if (a > lo) lo = a; if (b < hi) hi = b
      return lo < hi }
    BEGIN {
      L = tv + 20; R = tv + 315 - 20; T = 3240 + 20; B = 3495 - 20
      for (deg = 89; deg >= 1; deg--) {
        th = deg * 3.14159 / 180; px = 720; py = 3360
        for (t = 1; py <= 3360 && px < 8865; t++) {
          x = int(v * cos(th) * t + 720 + 0.5); y = int(3360 - (v * sin(th) * t - 5 * t * t) + 0.5)
          if (t > from && crosses(px, py, x, y)) { found = deg; break }
          px = x; py = y
        }
        if (found) break
      }
      print found + 0 }'
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }

black_before=$(count 0 0 0 "$sky_rows")
declare -A boxes_seen=()
angle=30
for attempt in 1 2 3; do
  tv=$(television_twips)
  xdotool windowfocus --sync "$window"  # as a window manager would, once the window is up or a box is gone
  # Straight up first: the thumb dragged past the bar's right end, which
  # gives the scroll bar the focus; Tab takes it on to 発射セット.
  thumb=$((track_left + (angle * 31 + 45) / 90 + 4))
  xdotool mousemove --window "$window" "$thumb" "$scroll_row" mousedown 1 \
    mousemove --window "$window" $((track_left + 60)) "$scroll_row" mouseup 1
  xdotool key Tab
  angle=90
  xdotool key space
  sleep 0.47  # nearly the gauge's full swing up: far enough for any television
  xdotool key space  # the focus moved to 発射ボタン: this fires
  fired=$(now_ms)
  sleep 0.1
  power=$(gauge_twips)
  speed=$(((power + 1800) / 20))
  # The hit must come well after the keys that aim have been typed.
  from_tick=$((($(now_ms) - fired + 1000) / 60 + 4))
  aim=$(angle_to_hit "$speed" "$tv" "$from_tick")
  if ((aim > 0)); then
    angle=$aim
    # From 発射ボタン, Tab, Tab reach the scroll bar past the disabled 発射セット.
    xdotool key Tab Tab
    xdotool key --delay 5 $(printf 'Left %.0s' $(seq $((90 - angle))))
    xdotool key Tab Return  # 発射ボタン again: the shell turns to the new angle
  fi
  # The shot lands or leaves the field, then the next one is armed and the
  # trace is wiped. A hit opens the two boxes, which wait for Enter.
  for _ in $(seq 40); do
    sleep 0.25
    for box in $(game_windows); do
      [ "$box" != "$window" ] || continue
      check_titles "$box" "$box_title"
      boxes_seen[$box]=1
      xdotool windowfocus --sync "$box" key Return 2>/dev/null || true
    done
    (($(count 0 0 0 "$sky_rows") <= black_before)) && break
  done
  (($(count 0 0 0 "$sky_rows") <= black_before)) || fail "the trace was never wiped"
  ((${#boxes_seen[@]} == 0)) || break
  echo "xvfb_play: shot $attempt missed (power $power, television at $tv, angle $angle)" >&2
done
((${#boxes_seen[@]} == 2)) || fail "a hit showed ${#boxes_seen[@]} boxes titled $box_title, not 2"

# The focus is back on 発射セット: Space swings the gauge.
xdotool windowfocus --sync "$window" key space
sleep 0.3
(($(count 64 64 64 "$height") > 0)) || fail "Space did not swing the gauge for the next shot"
kill -0 "$game_pid" || fail "the game ended: $(cat "$work/game.log")"
echo "xvfb_play: titles, keyboard play, both boxes and the next shot as expected"
