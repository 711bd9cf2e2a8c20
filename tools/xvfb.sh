# A virtual X server for the scripts that need a display of their own (the
# benchmarks, the keyboard play test). Source this file, then:
#   xvfb_start DIR   starts Xvfb on a free display, waits until it accepts
#                    clients, and points DISPLAY at it (Qt programs are sent
#                    to it too: QT_QPA_PLATFORM=xcb, WAYLAND_DISPLAY unset);
#                    DIR, a private folder, keeps the server's log
#   xvfb_stop        stops the server; call it from the script's exit trap

xvfb_pid=""

xvfb_start() {
  local dir=$1 fd
  # The server picks a free display itself and writes its number to the
  # descriptor once it listens, so a whole line there means it is ready.
  exec {fd}>"$dir/display"
  Xvfb -displayfd "$fd" -screen 0 1024x768x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 &
  xvfb_pid=$!
  exec {fd}>&-
  local tries
  for ((tries = 0; tries < 100; ++tries)); do
    [ "$(wc -l <"$dir/display")" -ge 1 ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ "$(wc -l <"$dir/display")" -lt 1 ]; then
    echo "Xvfb did not start: $(cat "$dir/xvfb.log")" >&2
    xvfb_stop
    return 1
  fi
  export DISPLAY=":$(head -n1 "$dir/display")" QT_QPA_PLATFORM=xcb
  unset WAYLAND_DISPLAY
}

xvfb_stop() {
  [ -n "$xvfb_pid" ] || return 0
  kill "$xvfb_pid" 2>/dev/null || true
  # The server removes its lock file as it ends; wait for that.
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
}
