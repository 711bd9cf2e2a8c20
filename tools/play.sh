#!/usr/bin/env bash
# Sets up, builds and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
exec build/tools/replay/zorukan-replay tools/replay/sample.replay
