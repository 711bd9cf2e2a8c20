#!/usr/bin/env bash
# The web edition, built with Debian's Emscripten.
#   tools/web.sh [PORT]       builds into build-web and serves the page on 127.0.0.1
#   tools/web.sh build OUT    only builds: the static site in OUT/site, the same
#                             site with the test hooks in OUT/site-test (for the
#                             browser test and the benchmark), and the replay
#                             driver for Node, OUT/zorukan-replay.js
#   tools/web.sh browser      installs what the browser test needs (Chromium,
#                             the test's npm packages)
# Installs what is missing, as the other tools scripts do.
set -euo pipefail
cd "$(dirname "$0")/.."

require() { tools/require-packages.sh "$@"; }

build() {
  local out=$1
  # Emscripten brings clang, lld, binaryen, Node and the acorn module its
  # optimizer loads from /usr/share/nodejs; terser minifies the page's script.
  require emscripten node-acorn terser libfast-float-dev libfmt-dev
  command -v node >/dev/null || require nodejs
  export NODE_PATH=/usr/share/nodejs
  emcmake cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$out" -j2
}

browser() {
  require chromium
  command -v npm >/dev/null || require npm
  (cd web/tests && npm ci --no-audit --no-fund --loglevel=error)
}

case ${1:-} in
build)
  [ $# -eq 2 ] || { echo "usage: tools/web.sh build OUT" >&2; exit 2; }
  build "$2"
  ;;
browser)
  browser
  ;;
'' | [0-9]*)
  port=${1:-8000}
  build build-web
  echo "web: serving the game at http://127.0.0.1:$port/ (Ctrl-C stops)"
  exec python3 -m http.server --bind 127.0.0.1 --directory build-web/site "$port"
  ;;
*)
  echo "usage: tools/web.sh [PORT] | tools/web.sh build OUT | tools/web.sh browser" >&2
  exit 2
  ;;
esac
