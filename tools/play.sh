#!/usr/bin/env bash
# Sets up, builds and starts the game's window.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh play
# The game makes the same check itself, with the same words and status
# (app/main.cpp); made here too, it speaks for the script before the game
# would. A chosen platform (QT_QPA_PLATFORM, e.g. offscreen) knows what it needs.
if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "play: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session" >&2
  exit 1
fi
exec build/app/zorukan
